// Packets per second of the transport-stream packet reader, the step that the
// stand-ins' demultiplexer and pacer take for every packet of the multiplex, on a
// stream shaped like a terrestrial one: mostly video PES packets, audio, a PCR
// every few packets, tables and null packets. The bare PID extraction that each
// consumer did by hand before is the baseline.
#include <benchmark/benchmark.h>

#include "channels/psi/ts_packet.h"
#include "standins/demux/ts_router.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

Bytes TypicalStream()
{
    TsWriter ts;
    for (int i = 0; i < 40; ++i) {
        ts.Pes(0x78, 0xE0, Pattern(9000 + i * 37, static_cast<std::uint8_t>(i)), 90000u * i, false);
        ts.Pes(0x82, 0xC0, Pattern(1150, static_cast<std::uint8_t>(i)), 90000u * i + 3000);
        if (i % 8 == 0) {
            ts.Section(0x00, Pat(1, {{0, 0x10}, {0x101, 0x100}}));
            ts.Section(0x11, OneServiceSdt(1, 0x101, "France 5"));
        }
        ts.NullPacket();
    }
    Bytes stream = ts.bytes();
    Append(stream, PcrStream(0x78, 200, 1, 1'080'000));
    return stream;
}

const Bytes& Stream()
{
    static const Bytes stream = TypicalStream();
    return stream;
}

void BM_ReadTsPacket(benchmark::State& state)
{
    const Bytes& stream = Stream();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (std::size_t at = 0; at + kTsPacketSize <= stream.size(); at += kTsPacketSize) {
            const TsPacket p = ReadTsPacket(stream.data() + at, kTsPacketSize);
            sum += p.pid + p.payloadSize + (p.pcr ? 1 : 0);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(stream.size() / kTsPacketSize));
}
BENCHMARK(BM_ReadTsPacket);

void BM_ReadPidOnly(benchmark::State& state)
{
    const Bytes& stream = Stream();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (std::size_t at = 0; at + kTsPacketSize <= stream.size(); at += kTsPacketSize) {
            const std::uint8_t* p = stream.data() + at;
            if (p[0] == kTsSyncByte)
                sum += static_cast<unsigned>((p[1] & 0x1F) << 8 | p[2]);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(stream.size() / kTsPacketSize));
}
BENCHMARK(BM_ReadPidOnly);

// The whole demultiplexing step, video and audio to elementary streams and the SDT
// to sections, for scale.
void BM_RouterFeed(benchmark::State& state)
{
    const Bytes& stream = Stream();
    std::size_t delivered = 0;
    TsRouter router([&](const RoutedData& data) { delivered += data.size; });
    router.Map(0, 0x78, PidContent::ElementaryStream);
    router.Map(1, 0x82, PidContent::ElementaryStream);
    router.Map(2, 0x11, PidContent::Psi);
    for (auto _ : state) {
        router.Feed(stream.data(), stream.size());
        benchmark::DoNotOptimize(delivered);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(stream.size() / kTsPacketSize));
}
BENCHMARK(BM_RouterFeed);

}  // namespace

BENCHMARK_MAIN();
