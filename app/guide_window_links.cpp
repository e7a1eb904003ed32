#include "app/guide_window_links.h"

#include "guide/clock_difference.h"

std::optional<std::int64_t> GuideWindowClockDifference()
{
    const std::optional<std::int64_t> broadcastAhead = BroadcastClockDifference();
    if (!broadcastAhead)
        return std::nullopt;
    return -*broadcastAhead;
}

// Until the timers exist, no programme has a recording set.
bool IsRecordingSetFor(const GuideEntry&)
{
    return false;
}
