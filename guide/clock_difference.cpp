#include "guide/clock_difference.h"

#include <atomic>
#include <limits>

namespace {

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min();
std::atomic<std::int64_t> difference{kNone};

}  // namespace

std::optional<std::int64_t> BroadcastClockDifference()
{
    const std::int64_t seconds = difference.load();
    if (seconds == kNone)
        return std::nullopt;
    return seconds;
}

void NoteBroadcastClockDifference(std::int64_t seconds) { difference.store(seconds == kNone ? kNone + 1 : seconds); }

std::int64_t ProgramNow(std::int64_t pcNow, std::optional<std::int64_t> remembered)
{
    return pcNow + BroadcastClockDifference().value_or(remembered.value_or(0));
}
