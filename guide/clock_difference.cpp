#include "guide/clock_difference.h"

#include <atomic>
#include <limits>

namespace {

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min();
std::atomic<std::int64_t> differenceMs{kNone};

std::int64_t FloorSeconds(std::int64_t ms) { return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000); }

}  // namespace

std::optional<std::int64_t> BroadcastClockDifferenceMs()
{
    const std::int64_t ms = differenceMs.load();
    if (ms == kNone)
        return std::nullopt;
    return ms;
}

std::optional<std::int64_t> BroadcastClockDifference()
{
    const std::optional<std::int64_t> ms = BroadcastClockDifferenceMs();
    if (!ms)
        return std::nullopt;
    return FloorSeconds(*ms);
}

void NoteBroadcastClockDifferenceMs(std::int64_t milliseconds)
{
    differenceMs.store(milliseconds == kNone ? kNone + 1 : milliseconds);
}

std::int64_t ProgramNow(std::int64_t pcNow, std::optional<std::int64_t> remembered)
{
    return pcNow + BroadcastClockDifference().value_or(remembered.value_or(0));
}

std::int64_t ProgramNowMs(std::int64_t pcNowMs, std::optional<std::int64_t> remembered)
{
    if (const std::optional<std::int64_t> heard = BroadcastClockDifferenceMs())
        return pcNowMs + *heard;
    return pcNowMs + remembered.value_or(0) * 1000;
}
