// DVB texts decoded per second: a channel name of the default table with an
// accent, the same name in UTF-8, and a 255-byte programme title with accents
// every few letters (the longest a short event descriptor carries).
#include <benchmark/benchmark.h>

#include <string>

#include "channels/text/dvb_text.h"

namespace {

void Decode(benchmark::State& state, const std::string& bytes)
{
    const std::span text(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeDvbText(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

std::string LongTitle(const std::string& word)
{
    std::string title;
    while (title.size() + word.size() <= 255)
        title += word;
    return title.append(255 - title.size(), 'e');
}

void BM_NameIso6937(benchmark::State& state) { Decode(state, "France T\xC2" "el\xC2" "evisions"); }
void BM_NameUtf8(benchmark::State& state) { Decode(state, "\x15" "France T\xC3\xA9l\xC3\xA9visions"); }
void BM_Title255Iso6937(benchmark::State& state) { Decode(state, LongTitle("Les for\xC3" "ets d'\xC2" "et\xC2" "e ")); }
void BM_Title255Utf8(benchmark::State& state)
{
    std::string title = LongTitle("Les for\xC3\xAAts d'\xC3\xA9t\xC3\xA9 ");
    title[0] = '\x15';  // the UTF-8 selector in place of the first letter: 255 bytes still
    Decode(state, title);
}

}  // namespace

BENCHMARK(BM_NameIso6937);
BENCHMARK(BM_NameUtf8);
BENCHMARK(BM_Title255Iso6937);
BENCHMARK(BM_Title255Utf8);
BENCHMARK_MAIN();
