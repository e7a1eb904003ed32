// Sections per second of the table parsers on sections shaped like those of a
// French terrestrial multiplex: an SDT of six services, a PMT with video, two
// MPEG audio tracks, AC-3, subtitles and teletext, an EIT present/following
// section with two events and their texts.
#include <benchmark/benchmark.h>

#include "channels/psi/psi_parsers.h"
#include "channels/psi/section_assembler.h"
#include "guide/eit_parser.h"
#include "guide/eit_time.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

Bytes SixServiceSdt()
{
    return Sdt(0x0004, 0x20FA, {Service(0x0401, "GR1", "France 5"), Service(0x0402, "GR1", "M6"),
                               Service(0x0403, "GR1", "Arte"), Service(0x0404, "GR1", "W9"),
                               Service(0x0405, "GR1", "NRJ12"), Service(0x0406, "GR1", "France 4")});
}

Bytes TypicalPmt()
{
    return Pmt(0x0401, 0x0078,
               {{0x02, 0x0078, Descriptor(0x52, {0x01})},
                {0x04, 0x0082, Concat({Descriptor(0x0A, Text("fra\x01")), Descriptor(0x52, {0x02})})},
                {0x04, 0x0083, Concat({Descriptor(0x0A, Text("qad\x03")), Descriptor(0x52, {0x03})})},
                {0x06, 0x0086, Concat({Descriptor(0x0A, Text("fra\x01")), Ac3Descriptor()})},
                {0x06, 0x0087, Descriptor(0x59, Text("fra\x10\x00\x01\x00\x01"))},
                {0x06, 0x0088, Descriptor(0x56, Text("fra\x09\x00"))}},
               Descriptor(0x09, {0x01, 0x00, 0xE1, 0x00}));
}

EitEvent Event(std::uint8_t hour, std::uint8_t minute, const std::string& title, const std::string& text)
{
    EitEvent e{};
    e.eventId = hour;
    e.mjd = 60379;
    e.start[0] = hour;
    e.start[1] = minute;
    e.duration[0] = 0x01;
    e.duration[1] = 0x30;
    e.descriptors = Concat({ShortEventDescriptor(Text(title), Text(text)), Descriptor(0x54, {0x10, 0x00}),
                            Descriptor(0x55, Text("FRA\x0A"))});
    return e;
}

class UtcClock final : public LocalTimeFormatter {
public:
    void Format(std::uint64_t utc, char (&text)[32]) const override
    {
        const std::uint64_t s = utc / kFileTimeTicksPerSecond % 86400;
        FormatClockText(static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60), text);
    }
};

void BM_ParseSdt(benchmark::State& state)
{
    const Bytes s = SixServiceSdt();
    ChannelList list;
    list.reserve(16);
    for (auto _ : state) {
        list.clear();
        ParseSdt(s.data(), s.size(), 586000, list);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseSdt);

void BM_ParsePmt(benchmark::State& state)
{
    const Bytes s = TypicalPmt();
    ChannelList list(6, MakeEmptyChaine());
    for (auto _ : state) {
        list[3].Son1 = 0;
        ParsePmt(s.data(), s.size(), 3, list);
        benchmark::DoNotOptimize(list[3].Ac3);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParsePmt);

// Alternates two sections with new starts so every event is stored: the worst
// case, with both local-time texts formatted for each event.
void BM_ParseEitSection(benchmark::State& state)
{
    const Bytes a = Eit(0x0406, {Event(0x20, 0x00, "Journal", std::string(180, 'j')),
                                 Event(0x20, 0x45, "Météo", "Les prévisions")});
    const Bytes b = Eit(0x0406, {Event(0x21, 0x00, "Film", std::string(200, 'f')),
                                 Event(0x22, 0x50, "Magazine", "Reportages")});
    ChannelList list;
    for (unsigned sid = 0x0401; sid <= 0x0406; ++sid) {
        Chaine c = MakeEmptyChaine();
        c.SID = static_cast<std::int32_t>(sid);
        list.push_back(c);
    }
    const UtcClock clock;
    bool flip = false;
    for (auto _ : state) {
        list[5].presentEvent.startTime = 0;
        list[5].followingEvent.startTime = 0;
        const Bytes& s = flip ? a : b;
        flip = !flip;
        benchmark::DoNotOptimize(ParseEitSection(s.data(), s.size(), list, 5, clock));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseEitSection);

// Repeats of the same section: what the reader sees most of the time.
void BM_ParseEitSectionRepeated(benchmark::State& state)
{
    const Bytes a = Eit(0x0406, {Event(0x20, 0x00, "Journal", std::string(180, 'j')),
                                 Event(0x20, 0x45, "Météo", "Les prévisions")});
    ChannelList list(6, MakeEmptyChaine());
    list[5].SID = 0x0406;
    const UtcClock clock;
    ParseEitSection(a.data(), a.size(), list, 5, clock);
    for (auto _ : state)
        benchmark::DoNotOptimize(ParseEitSection(a.data(), a.size(), list, 5, clock));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseEitSectionRepeated);

}  // namespace

BENCHMARK_MAIN();
