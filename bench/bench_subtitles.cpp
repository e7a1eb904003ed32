// Decoding one DVB subtitle display set into the picture of the display: two
// lines of text in a 600 x 80 region of 4-bit codes and a 2-bit region beside
// them, as a broadcaster sends a subtitle.
// Run with --benchmark_repetitions=9 for the median.
#include <benchmark/benchmark.h>

#include "graph/subtitles/dvb_subtitle_decoder.h"
#include "tools/tsgen/dvb_subtitle_encoder.h"

namespace {

std::vector<std::uint8_t> TwoLines()
{
    tsgen::SubtitleDisplaySet set;
    set.clut = {{1, 0xFFFFFFFF}, {2, 0xFF000000}, {3, 0xFFFFFF00}};
    set.regions = {{1, 60, 460, 600, 80, 4, 0}, {2, 60, 545, 120, 20, 2, 0}};
    tsgen::SubtitleObject text{1, 1, 0, 0, 4, {}};
    // Letters: short runs of white edged in black, as anti-aliased text codes.
    for (unsigned line = 0; line < 80; ++line) {
        std::vector<std::uint8_t> codes(600, 0);
        for (unsigned x = 20 + line % 7; x + 6 < 580; x += 11) {
            codes[x] = 2;
            codes[x + 1] = codes[x + 2] = codes[x + 3] = 1;
            codes[x + 4] = 2;
        }
        text.lines.push_back(codes);
    }
    tsgen::SubtitleObject mark{2, 2, 0, 0, 2, std::vector<std::vector<std::uint8_t>>(20, std::vector<std::uint8_t>(120, 3))};
    set.objects = {text, mark};
    return tsgen::EncodeDisplaySet(set);
}

void BM_DecodeDisplaySet(benchmark::State& state)
{
    const std::vector<std::uint8_t> pes = TwoLines();
    DvbSubtitleDecoder decoder(1, 1);
    for (auto _ : state) {
        auto pictures = decoder.Decode(pes.data(), pes.size(), 0);
        if (pictures.size() != 1) {
            state.SkipWithError("no picture");
            break;
        }
        benchmark::DoNotOptimize(pictures.front().pixels.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pes.size()));
}

}  // namespace

BENCHMARK(BM_DecodeDisplaySet)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
