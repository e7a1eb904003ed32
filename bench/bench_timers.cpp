// The scheduler's work over a large list: 1,000 timers on five multiplexes, a
// quarter of them repeating, expanded over eight days and checked for
// conflicts; then one pass of the decisions and of the next wake-up.
#include <benchmark/benchmark.h>

#include <vector>

#include "record/timers/conflicts.h"
#include "record/timers/scheduler.h"

namespace {

constexpr std::int64_t kNow = 1796817600;  // 2026-12-09T12:00:00Z

std::vector<Timer> ManyTimers(int count)
{
    std::vector<Timer> timers;
    timers.reserve(static_cast<std::size_t>(count));
    const Repeat repeats[] = {Repeat::Daily, Repeat::Weekdays, Repeat::Weekly, Repeat::Once};
    for (int i = 0; i < count; ++i) {
        Timer t;
        t.id = i + 1;
        t.service = {0x20FA, static_cast<std::uint16_t>(1 + i % 5), static_cast<std::uint16_t>(0x100 + i % 30)};
        t.title = "Programme " + std::to_string(i);
        t.channel = "Cha\u00eene " + std::to_string(i % 30);
        // Spread over eight days; every fourth repeats.
        t.start = kNow + (static_cast<std::int64_t>(i) * 691) % (8 * 86400);
        t.end = t.start + 30 * 60 + (i % 4) * 15 * 60;
        t.marginBefore = 2;
        t.marginAfter = 10;
        t.repeat = i % 4 == 0 ? repeats[(i / 4) % 4] : Repeat::Once;
        timers.push_back(std::move(t));
    }
    return timers;
}

void BM_LoadAndMarkConflicts(benchmark::State& state)
{
    const std::vector<Timer> source = ManyTimers(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<Timer> timers = source;
        benchmark::DoNotOptimize(MarkConflicts(timers, kNow, EuropeParis()));
    }
}
BENCHMARK(BM_LoadAndMarkConflicts)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ConflictOfOneNewTimer(benchmark::State& state)
{
    const std::vector<Timer> timers = ManyTimers(1000);
    Timer candidate = timers[500];
    candidate.service.tsid = 9;
    for (auto _ : state)
        benchmark::DoNotOptimize(ConflictingTimer(candidate, timers, kNow, EuropeParis()));
}
BENCHMARK(BM_ConflictOfOneNewTimer)->Unit(benchmark::kMillisecond);

void BM_ScheduleAndNextWake(benchmark::State& state)
{
    const std::vector<Timer> source = ManyTimers(1000);
    const EventWatcher noGuide = [](std::size_t) { return EventWatch{}; };
    std::vector<std::size_t> changed;
    for (auto _ : state) {
        std::vector<Timer> timers = source;
        changed.clear();
        benchmark::DoNotOptimize(Schedule(timers, kNow + 3600, {}, noGuide, EuropeParis(), changed));
        benchmark::DoNotOptimize(NextWake(timers, kNow + 3600, noGuide, EuropeParis()));
    }
}
BENCHMARK(BM_ScheduleAndNextWake)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
