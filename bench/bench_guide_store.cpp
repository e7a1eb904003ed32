// The guide store with eight days of a 30-channel broadcast (about 10,000
// events): inserts per second in batches, the file's size, a search.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "guide/schedule/guide_store.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNow = 1796817600;  // 2026-12-09T12:00:00Z
constexpr int kChannels = 30;
constexpr int kEventsPerChannel = 334;     // eight days of 35-minute programmes

const char* const kWords[] = {"été", "journal", "météo", "cinéma", "série", "enquête", "histoire", "voyage",
                              "cuisine", "sport", "musique", "théâtre", "nature", "océan", "montagne", "forêt"};

std::vector<GuideEntry> EightDays()
{
    std::vector<GuideEntry> events;
    for (int c = 0; c < kChannels; ++c) {
        for (int i = 0; i < kEventsPerChannel; ++i) {
            GuideEntry e;
            e.service = {0x20FA, static_cast<std::uint16_t>(c / 6 + 1), static_cast<std::uint16_t>(0x100 + c)};
            e.eventId = static_cast<std::uint16_t>(i);
            e.start = kNow + i * 35 * 60;
            e.stop = e.start + 35 * 60;
            e.title = std::string("Programme ") + kWords[(c + i) % 16] + " " + std::to_string(i);
            e.subtitle = std::string("Épisode ") + std::to_string(i % 26);
            for (int w = 0; w < 40; ++w)  // a synopsis of some 300 characters
                e.description += std::string(kWords[(c * 7 + i * 3 + w) % 16]) + ' ';
            e.content = static_cast<std::uint8_t>(0x10 * (1 + i % 10));
            e.minimumAge = i % 7 == 0 ? 12 : 0;
            events.push_back(std::move(e));
        }
    }
    return events;
}

fs::path Fresh(const char* name)
{
    const fs::path dir = fs::temp_directory_path() / ("brisome-bench-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void BM_StoreInsertInBatches(benchmark::State& state)
{
    const auto events = EightDays();
    const auto batchSize = static_cast<std::size_t>(state.range(0));
    const fs::path dir = Fresh("insert");
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(dir);
        fs::create_directories(dir);
        GuideStore store;
        store.Open(dir / "guide.db");
        state.ResumeTiming();
        for (std::size_t i = 0; i < events.size(); i += batchSize) {
            GuideBatch batch;
            batch.events.assign(events.begin() + static_cast<std::ptrdiff_t>(i),
                                events.begin() + static_cast<std::ptrdiff_t>(std::min(events.size(), i + batchSize)));
            if (!store.Write(batch))
                state.SkipWithError(store.message().c_str());
        }
        state.PauseTiming();
        store.Close();  // checkpoints the WAL into the file
        bytes = fs::file_size(dir / "guide.db");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * events.size()));
    state.counters["db_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["events"] = static_cast<double>(events.size());
    fs::remove_all(dir);
}
BENCHMARK(BM_StoreInsertInBatches)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_StoreSearch(benchmark::State& state)
{
    const fs::path dir = Fresh("search");
    GuideStore store;
    store.Open(dir / "guide.db");
    store.Write({{}, EightDays()});
    std::size_t found = 0;
    for (auto _ : state) {
        found = store.Search("ete", kNow + 86400).size() + store.Search("cinema serie", kNow).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = static_cast<double>(found);
    state.SetLabel("two searches per iteration");
    store.Close();
    fs::remove_all(dir);
}
BENCHMARK(BM_StoreSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
