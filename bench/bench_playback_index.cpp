// What opening and seeking a recording cost, apart from the disk: the PCR index
// of a stream of an hour's length in memory (PCRs every 40 ms; its packets
// between two PCRs stand for the multiplex's 31.7 Mbit/s by their count, the
// index reads only near its marks), and a seek, from a time to the packet and
// on to the next H.264 starting point a GOP later.
#include <benchmark/benchmark.h>

#include "record/playback/pcr_index.h"
#include "record/playback/random_access.h"
#include "tests/support/packets.h"

using namespace tstest;

namespace {

constexpr std::uint64_t k40Ms = 40 * 27000;

// An hour: 90,000 PCRs, each followed by 4 packets; an SPS every 12 PCRs
// (about half a second) on the video PID.
const Bytes& HourStream()
{
    static const Bytes stream = [] {
        Bytes out;
        out.reserve(90'001ull * 5 * 188);
        std::uint8_t counter = 0;
        for (int i = 0; i <= 90'000; ++i) {
            Append(out, PcrPacket(0x100, counter++, static_cast<std::uint64_t>(i) * k40Ms, 0x55));
            for (int k = 0; k < 4; ++k) {
                Bytes packet = PcrPacket(0x100, counter++, std::nullopt, 0x55);
                if (k == 0 && i % 12 == 0) {
                    packet[1] |= 0x40;  // a PES begins: header, then an SPS
                    const std::uint8_t pes[] = {0, 0, 1, 0xE0, 0, 0, 0x80, 0, 0, 0, 0, 0, 1, 0x67};
                    std::copy(std::begin(pes), std::end(pes), packet.begin() + 4);
                }
                Append(out, packet);
            }
        }
        return out;
    }();
    return stream;
}

void BM_PcrIndexBuild(benchmark::State& state)
{
    const Bytes& stream = HourStream();
    MemoryByteSource source(stream.data(), stream.size());
    for (auto _ : state) {
        const PcrIndex index = PcrIndex::Build(source);
        benchmark::DoNotOptimize(index.durationMs());
    }
}
BENCHMARK(BM_PcrIndexBuild)->Unit(benchmark::kMillisecond);

void BM_SeekToStartingPoint(benchmark::State& state)
{
    const Bytes& stream = HourStream();
    MemoryByteSource source(stream.data(), stream.size());
    const PcrIndex index = PcrIndex::Build(source);
    std::int64_t target = 0;
    for (auto _ : state) {
        target = (target + 1'234'567) % index.durationMs();
        const std::uint64_t offset = index.OffsetAt(target);
        benchmark::DoNotOptimize(
            FindRandomAccessPoint(source, index.probe(), offset, 0x100, VideoCoding::H264, 8u << 20));
    }
}
BENCHMARK(BM_SeekToStartingPoint)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
