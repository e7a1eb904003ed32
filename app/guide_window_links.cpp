#include "app/guide_window_links.h"

#include "app/program_timers.h"
#include "guide/clock_difference.h"

std::optional<std::int64_t> GuideWindowClockDifference()
{
    const std::optional<std::int64_t> broadcastAhead = BroadcastClockDifference();
    if (!broadcastAhead)
        return std::nullopt;
    return -*broadcastAhead;
}

bool IsRecordingSetFor(const GuideEntry& event)
{
    return ProgramTimers().ForEvent(event.service, event.eventId) != nullptr;
}
