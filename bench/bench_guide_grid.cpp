// The guide grid with eight days of a 30-channel broadcast (about 10,000
// events): what opening the window costs before it draws (every event read from
// guide.db and given to its row), the layout of one view, and a scroll by the
// keyboard (the move, then the layout of the view it leads to).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "guide/grid/grid_navigation.h"
#include "guide/schedule/guide_store.h"

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kNow = 1796817600;  // 2026-12-09T12:00:00Z
constexpr int kChannels = 30;
constexpr int kEventsPerChannel = 334;  // eight days of 35-minute programmes

int Paris(std::int64_t) { return 3600; }

ServiceKey KeyOf(int c)
{
    return {0x20FA, static_cast<std::uint16_t>(c / 6 + 1), static_cast<std::uint16_t>(0x100 + c)};
}

std::vector<GuideEntry> EightDays()
{
    std::vector<GuideEntry> events;
    for (int c = 0; c < kChannels; ++c)
        for (int i = 0; i < kEventsPerChannel; ++i) {
            GuideEntry e;
            e.service = KeyOf(c);
            e.eventId = static_cast<std::uint16_t>(i);
            e.start = kNow - 3600 + i * 35 * 60;
            e.stop = e.start + 35 * 60;
            e.title = "Programme " + std::to_string(i);
            e.description = std::string(300, 'd');
            e.content = static_cast<std::uint8_t>(0x10 * (1 + i % 10));
            events.push_back(std::move(e));
        }
    return events;
}

std::vector<GridRow> Rows()
{
    std::vector<GridRow> rows;
    for (int c = 0; c < kChannels; ++c)
        rows.push_back({c, c + 1, "Cha\xC3\xAEne " + std::to_string(c + 1), KeyOf(c), {}});
    return rows;
}

// A window of 1000 by 600 pixels: about 17 rows and 3 hours.
GridGeometry Screen()
{
    GridGeometry g;
    g.width = 1000;
    g.height = 600;
    return g;
}

void BM_GridOpen(benchmark::State& state)
{
    const fs::path dir = fs::temp_directory_path() / ("brisome-bench-grid-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    {
        GuideStore writer;
        writer.Open(dir / "guide.db");
        writer.Write({{}, EightDays()});
    }
    GuideStore store;
    store.Open(dir / "guide.db");
    for (auto _ : state) {
        std::vector<GridRow> rows = Rows();
        FillRows(rows, store.Events());
        const GridContext c{rows, Screen(), kNow, Paris};
        const GridState s = StateAtNow(c, 0);
        benchmark::DoNotOptimize(LayOutBoxes(rows, c.geometry, s.view, kNow));
    }
    state.counters["events"] = kChannels * kEventsPerChannel;
    store.Close();
    fs::remove_all(dir);
}
BENCHMARK(BM_GridOpen)->Unit(benchmark::kMillisecond);

void BM_GridLayOutView(benchmark::State& state)
{
    std::vector<GridRow> rows = Rows();
    FillRows(rows, EightDays());
    GridView view{kNow + 4 * 86400, 10};  // mid-week, mid-list
    std::size_t boxes = 0;
    for (auto _ : state) {
        boxes = LayOutBoxes(rows, Screen(), view, kNow).size();
        benchmark::DoNotOptimize(boxes);
    }
    state.counters["boxes"] = static_cast<double>(boxes);
}
BENCHMARK(BM_GridLayOutView)->Unit(benchmark::kMicrosecond);

void BM_GridScrollByPage(benchmark::State& state)
{
    std::vector<GridRow> rows = Rows();
    FillRows(rows, EightDays());
    const GridContext c{rows, Screen(), kNow, Paris};
    GridState s = StateAtNow(c, 5);
    for (auto _ : state) {
        s = Navigate(c, s, GridMove::PageDown);
        if (s.view.start >= kNow + 7 * 86400)
            s = Navigate(c, s, GridMove::Home);
        benchmark::DoNotOptimize(LayOutBoxes(rows, c.geometry, s.view, kNow));
        benchmark::DoNotOptimize(HalfHourMarks(c.geometry, s.view, Paris));
    }
}
BENCHMARK(BM_GridScrollByPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
