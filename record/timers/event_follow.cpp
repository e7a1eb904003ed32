#include "record/timers/event_follow.h"

#include <algorithm>

bool FollowEvent(Timer& timer, const GuideEntry& event, std::int64_t now)
{
    if (!timer.eventId || *timer.eventId != event.eventId || timer.service != event.service)
        return false;
    if (!timer.Pending() || now >= timer.RecordFrom() || event.stop <= event.start)
        return false;
    if (event.start == timer.start && event.stop == timer.end)
        return false;
    // A schedule may move an event into the past only by mistake or by a clock
    // that jumped; the timer then starts at once rather than being lost.
    timer.start = event.start;
    timer.end = event.stop;
    return true;
}

std::int64_t StopTime(const Timer& timer, const EventWatch& watch, std::int64_t now)
{
    const std::int64_t planned = timer.RecordUntil();
    const std::int64_t limit = planned + kMaxOverrun;
    if (!timer.eventId)
        return planned;
    switch (watch.presence) {
    case EventWatch::Presence::Unknown: return planned;
    case EventWatch::Presence::Present:
        // Present during the programme is the normal course; only past its
        // planned end does it mean the programme runs late.
        return now >= timer.end ? limit : planned;
    case EventWatch::Presence::Left:
        if (watch.leftAt <= timer.end)
            return planned;
        return std::clamp(watch.leftAt + std::int64_t{timer.marginAfter} * 60, planned, limit);
    }
    return planned;
}
