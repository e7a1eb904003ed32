// Presenting a DVB subtitle: one display set from PES pieces to the keyed
// overlay handed to the video mixer (reassembly, decoding, cropping), and how
// late the presentation thread shows a set after the stream time it is due,
// against a steady clock standing for the graph's.
// Run with --benchmark_repetitions=9 --benchmark_report_aggregates_only=true.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "graph/subtitles/subtitle_overlay.h"
#include "graph/subtitles/subtitle_presenter.h"
#include "standins/demux/pes_assembler.h"
#include "tools/tsgen/dvb_subtitle_encoder.h"

namespace {

// The demo broadcast's display set: a 600x48 box of 4-bit codes and a 160x16
// band of 2-bit stripes.
std::vector<std::uint8_t> DemoPes()
{
    tsgen::SubtitleDisplaySet set;
    set.timeoutSeconds = 2;
    set.clut = {{1, 0xFFFFFF00}, {2, 0xFFFFFFFF}, {3, 0xFF000000}};
    set.regions = {{1, 60, 470, 600, 48, 4, 0}, {2, 280, 530, 160, 16, 2, 0}};
    tsgen::SubtitleObject box{1, 1, 0, 0, 4, {}};
    for (unsigned y = 0; y < 48; ++y) {
        std::vector<std::uint8_t> line(600, (y < 2 || y >= 46) ? 3 : 1);
        line[0] = line[1] = line[598] = line[599] = 3;
        box.lines.push_back(line);
    }
    tsgen::SubtitleObject stripes{2, 2, 0, 0, 2, {}};
    for (unsigned y = 0; y < 16; ++y) {
        std::vector<std::uint8_t> line(160);
        for (unsigned x = 0; x < 160; ++x) line[x] = (x / 20) % 2 ? 2 : 3;
        stripes.lines.push_back(line);
    }
    set.objects = {box, stripes};
    const std::vector<std::uint8_t> data = tsgen::EncodeDisplaySet(set);
    std::vector<std::uint8_t> pes = MakePesHeader(0xBD, true, 90000, data.size(), true);
    pes.insert(pes.end(), data.begin(), data.end());
    return pes;
}

void BM_DecodeAndCompose(benchmark::State& state)
{
    const std::vector<std::uint8_t> pes = DemoPes();
    SubtitlePesAssembler assembler;
    DvbSubtitleDecoder decoder(1, 1);
    for (auto _ : state) {
        auto packets = assembler.Feed(pes.data(), pes.size(), true, false);
        if (packets.size() != 1) {
            state.SkipWithError("no packet");
            break;
        }
        auto pictures = decoder.Decode(packets[0].data.data(), packets[0].data.size(), packets[0].pts);
        if (pictures.size() != 1) {
            state.SkipWithError("no picture");
            break;
        }
        SubtitleOverlay overlay = MakeOverlay(pictures[0]);
        benchmark::DoNotOptimize(overlay.pixels.data());
    }
}

std::int64_t SteadyNow()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count() / 100;
}

// Each iteration's time is the lateness of one presentation: a display set
// stamped 10 ms ahead, fed to the presenter, shown by its thread.
void BM_PresentationLateness(benchmark::State& state)
{
    const std::vector<std::uint8_t> pes = DemoPes();
    std::atomic<std::uint64_t> shows{0};
    SubtitlePresenter presenter(SteadyNow, [&](const SubtitleShow&) { ++shows; });
    SubtitleTrack track{};
    track.compositionPage = track.ancillaryPage = 1;
    track.format = SubtitleFormat::Dvb;
    presenter.Select(track);
    while (shows.load() < 1) std::this_thread::yield();
    for (auto _ : state) {
        const std::uint64_t before = presenter.Presented();
        presenter.Feed(pes.data(), pes.size(), true, false, SteadyNow() + 100'000);
        while (presenter.Presented() == before) std::this_thread::yield();
        state.SetIterationTime(static_cast<double>(presenter.LastLateness()) / 1e7);
    }
}

}  // namespace

BENCHMARK(BM_DecodeAndCompose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PresentationLateness)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
