// Sections per second through the guide reader on one core: the reader's loop
// with the updater behind it (parse, store, notice), fed by an in-memory pair of
// streams that copies each section into the buffer it was given, as the
// sections-and-tables filter does. The sections are the present/following pairs
// of a multiplex's own three services (0x4E) and of twelve others (0x4F).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "guide/eit_time.h"
#include "guide/guide_reader_loop.h"
#include "guide/guide_updater.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

class UtcClock final : public LocalTimeFormatter {
public:
    void Format(std::uint64_t utc, char (&text)[32]) const override
    {
        const std::uint64_t s = utc / kFileTimeTicksPerSecond % 86400;
        FormatClockText(static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60), text);
    }
};

std::uint8_t Bcd(int v) { return static_cast<std::uint8_t>(v / 10 * 16 + v % 10); }

EitEvent Event(int hour, const std::string& title, const std::string& text)
{
    EitEvent e{};
    e.eventId = static_cast<unsigned>(hour);
    e.mjd = 61113;
    e.start[0] = Bcd(hour);
    e.duration[0] = 0x01;
    e.descriptors = ShortEventDescriptor(Text(title), Text(text));
    return e;
}

// Plays `sections` in turn, then asks the loop to stop after `count` of them.
class ReplayedStreams final : public GuideSectionSource {
public:
    ReplayedStreams(const std::vector<tstest::Bytes>& sections, std::size_t count) : sections_(sections), count_(count) {}

    bool Supply(int stream) override
    {
        size_[stream] = 0;
        return true;
    }
    GuideWake Wait() override
    {
        if (served_ == count_)
            return GuideWake::Stop;
        const tstest::Bytes& s = sections_[served_ % sections_.size()];
        const int stream = s[0] == 0x4E ? kActualStream : kOtherStream;
        std::memcpy(buffers_[stream], s.data(), s.size());
        size_[stream] = s.size();
        ++served_;
        return stream == kActualStream ? GuideWake::ActualFilled : GuideWake::OtherFilled;
    }
    const std::uint8_t* Bytes(int stream) const override { return buffers_[stream]; }
    std::size_t Size(int stream) const override { return size_[stream]; }

private:
    const std::vector<tstest::Bytes>& sections_;
    std::size_t count_;
    std::size_t served_ = 0;
    std::uint8_t buffers_[2][kGuideBufferSize];
    std::size_t size_[2] = {};
};

// `shift` hours later for every service: a new pair of events each time.
std::vector<Bytes> Multiplex(int shift)
{
    std::vector<Bytes> sections;
    for (unsigned s = 0; s < 15; ++s) {
        const std::uint8_t table = s < 3 ? 0x4E : 0x4F;
        const int hour = (20 + shift) % 23;
        sections.push_back(Eit(0x100 + s, {Event(hour, "Le Journal de 20 heures", "Présenté par Hélène Marchais.")},
                               table));
        sections.push_back(Eit(0x100 + s, {Event(hour + 1, "Série : Les Enquêtes de l'Écluse",
                                                 "Épisode 4 : le canal gelé. Un corps sous la glace.")},
                               table));
    }
    return sections;
}

ChannelList Channels()
{
    ChannelList list;
    for (unsigned s = 0; s < 15; ++s) {
        Chaine c = MakeEmptyChaine();
        c.SID = static_cast<std::int32_t>(0x100 + s);
        list.push_back(c);
    }
    return list;
}

constexpr std::size_t kBatch = 30000;

// Reads batches of kBatch sections replayed from `sections` on both streams.
void ReadBatches(benchmark::State& state, const std::vector<Bytes>& sections)
{
    ChannelList channels = Channels();
    const UtcClock clock;
    int notices = 0;
    GuideUpdater updater(channels, clock, [&] { return ++notices > 0; });
    updater.Watch(0);
    for (auto _ : state) {
        ReplayedStreams streams(sections, kBatch);
        benchmark::DoNotOptimize(RunGuideReader(streams, updater));
        updater.Acknowledge();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kBatch));
}

// The steady state: the same pairs over and over, nothing new to store.
void BM_GuideReaderRepeatedSections(benchmark::State& state)
{
    const std::vector<Bytes> sections = Multiplex(0);
    ReadBatches(state, sections);
}
BENCHMARK(BM_GuideReaderRepeatedSections)->Unit(benchmark::kMillisecond);

// Every section brings new events: each is stored, both texts formatted.
void BM_GuideReaderChangingSections(benchmark::State& state)
{
    std::vector<Bytes> sections;
    for (int shift = 0; shift < 20; ++shift) {
        const std::vector<Bytes> pairs = Multiplex(shift);
        sections.insert(sections.end(), pairs.begin(), pairs.end());
    }
    ReadBatches(state, sections);
}
BENCHMARK(BM_GuideReaderChangingSections)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
