// Packets per second through the transport-stream tap, with 0, 1 and 3
// subscribers that only look at each run, and with the section reader following
// the EIT PID as it does for the whole life of the graph. Samples are cut as a
// tuner may cut them: 188*k+61 bytes (every sample ends inside a packet) and
// 64 KiB. The counter "core_pct_at_31.7Mbps" is the share of one core the tap
// takes at the highest DVB-T multiplex rate (21 077 packets/s).
//
// BM_TapServiceRecordings runs 1 or 3 service recordings of one multiplex at
// once, as the recorder does: one fan-out walks the packets for all of them and
// hands each its runs. Each service keeps a quarter of the packets; its sink
// either only counts the runs (third argument 0: the cost of picking alone) or
// copies them into a buffer of its own (1: standing for the write). What several
// timed recordings cost beyond one. BM_TapServiceRecordingsEachWalking is the
// same with each recording walking the packets itself, for comparison.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "channels/psi/packet_tap.h"
#include "channels/psi/section_reader.h"
#include "record/packet_fan_out.h"
#include "record/packet_filter.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

constexpr double kPacketsPerSecondAt31_7 = 31.7e6 / 8 / 188;

// About 2 MB: PES-like payloads on a few PIDs, a section now and then.
const Bytes& Stream()
{
    static const Bytes stream = [] {
        Bytes out;
        unsigned eitCounter = 0;
        for (int i = 0; out.size() < 2'000'000; ++i) {
            Bytes packet = Pattern(188, static_cast<std::uint8_t>(i));
            packet[0] = 0x47;
            packet[1] = static_cast<std::uint8_t>(i % 3 == 0 ? 0x00 : 0x01);
            packet[2] = static_cast<std::uint8_t>(0x78 + i % 4);
            Append(out, packet);
            if (i % 100 == 0)
                Append(out, Packetize(0x12, {Eit(static_cast<unsigned>(i % 30), {}, 0x4E)}, eitCounter));
        }
        return out;
    }();
    return stream;
}

struct Looking : PacketSubscriber {
    std::uint64_t sum = 0;
    bool OnPackets(const std::uint8_t* packets, std::size_t count) override
    {
        sum += packets[count * 188 - 185] + count;
        return true;
    }
};

void Run(benchmark::State& state, PacketTap& tap)
{
    const Bytes& stream = Stream();
    const std::size_t sample = static_cast<std::size_t>(state.range(1));
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += sample)
            tap.Feed(stream.data() + at, std::min(sample, stream.size() - at));
    }
    const auto packets = static_cast<double>(stream.size() / 188);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(packets));
    state.counters["core_pct_at_31.7Mbps"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * packets / (kPacketsPerSecondAt31_7 * 100),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_TapSubscribers(benchmark::State& state)
{
    PacketTap tap;
    std::vector<Looking> subscribers(static_cast<std::size_t>(state.range(0)));
    for (Looking& s : subscribers)
        tap.Subscribe(&s);
    Run(state, tap);
}
BENCHMARK(BM_TapSubscribers)->ArgsProduct({{0, 1, 3}, {188 * 20 + 61, 65536}});

// A recording without its file: a count of its runs, or a copy of each.
struct RunSink : PacketRunSink {
    explicit RunSink(bool copying) : copying(copying) { buffer.reserve(1 << 20); }
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override
    {
        kept += size;
        if (!copying)
            return true;
        if (buffer.size() + size > buffer.capacity())
            buffer.clear();
        buffer.insert(buffer.end(), bytes, bytes + size);
        return true;
    }
    bool copying;
    std::uint64_t kept = 0;
    std::vector<std::uint8_t> buffer;
};

// Three services that each keep a quarter of the stream's packets (the PAT
// included, which the stream lacks).
PidSelection ServiceOf(int i)
{
    return PidSelection::Service(0x78 + i, 0x178 + i, 0x1FFF, 0x1FFF);
}

void BM_TapServiceRecordings(benchmark::State& state)
{
    PacketTap tap;
    PacketFanOut fanOut;
    std::vector<std::unique_ptr<RunSink>> sinks;
    for (int i = 0; i < state.range(0); ++i) {
        sinks.push_back(std::make_unique<RunSink>(state.range(2) != 0));
        fanOut.Add(sinks.back().get(), ServiceOf(i));
    }
    tap.Subscribe(&fanOut);
    Run(state, tap);
}
BENCHMARK(BM_TapServiceRecordings)->ArgsProduct({{1, 3}, {188 * 20 + 61, 65536}, {0, 1}});

struct WalkingRecording : PacketSubscriber {
    WalkingRecording(int i, bool copying) : selection(ServiceOf(i)), sink(copying) {}
    bool OnPackets(const std::uint8_t* packets, std::size_t count) override
    {
        FilterPackets(packets, count * 188, selection, sink);
        return true;
    }
    PidSelection selection;
    RunSink sink;
};

void BM_TapServiceRecordingsEachWalking(benchmark::State& state)
{
    PacketTap tap;
    std::vector<std::unique_ptr<WalkingRecording>> recordings;
    for (int i = 0; i < state.range(0); ++i) {
        recordings.push_back(std::make_unique<WalkingRecording>(i, state.range(2) != 0));
        tap.Subscribe(recordings.back().get());
    }
    Run(state, tap);
}
BENCHMARK(BM_TapServiceRecordingsEachWalking)->ArgsProduct({{1, 3}, {188 * 20 + 61, 65536}, {0, 1}});

void BM_TapWithSectionReader(benchmark::State& state)
{
    PacketTap tap;
    SectionReader reader;
    const int stream = reader.OpenStream(0x12, 0x4E, 0x4F, 64, false, nullptr);
    tap.Subscribe(&reader);
    Run(state, tap);
    std::vector<std::uint8_t> section;
    while (reader.Next(stream, section)) {
    }
}
BENCHMARK(BM_TapWithSectionReader)->ArgsProduct({{1}, {188 * 20 + 61, 65536}});

}  // namespace

BENCHMARK_MAIN();
