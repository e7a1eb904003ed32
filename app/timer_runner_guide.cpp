#include "app/timer_runner_guide.h"

#include "app/timer_runner_start.h"
#include "channels/chaine.h"
#include "guide/guide_database.h"
#include "guide/guide_slots.h"
#include "record/timers/timer_runner_rules.h"

namespace {

// 1970-01-01 on the file-time scale of the guide slots (100 ns since 1601).
constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000LL;

// What the guide shows now on a recording timer's service: the present slot of
// the channel when the guide reader filled it, else the schedule's event.
GuideSight Sight(const Timer& timer, std::int64_t now)
{
    const std::int32_t channel = ChannelOfService(timer.service);
    if (channel >= 0) {
        const GuideSlots slots = ReadGuideSlots(Chaines[static_cast<std::size_t>(channel)]);
        if (slots.present.startTime != 0) {
            const std::int64_t start =
                (static_cast<std::int64_t>(slots.present.startTime) - kUnixEpochAsFileTime) / 10'000'000;
            return start == timer.start ? GuideSight::Ours : GuideSight::Other;
        }
    }
    for (const GuideEntry& entry : TheGuide().Events(timer.service, now, now + 1))
        if (entry.start <= now && now < entry.stop)
            return entry.eventId == timer.eventId ? GuideSight::Ours : GuideSight::Other;
    return GuideSight::Nothing;
}

}  // namespace

void LookAtGuide(const std::vector<Timer>& timers, std::int64_t now, std::map<std::int64_t, EventWatch>& watches)
{
    for (const Timer& t : timers)
        if (t.state == TimerState::Recording && t.eventId)
            watches[t.id] = NextEventWatch(watches[t.id], Sight(t, now), t.end, now);
}

void FollowMovedEvents(std::vector<Timer>& timers, std::int64_t now, std::vector<std::size_t>& changed)
{
    // A schedule moves a programme by minutes or hours, not by days: the event
    // is looked for within a day of where the timer has it.
    constexpr std::int64_t kLookAround = 86400;
    for (std::size_t i = 0; i < timers.size(); ++i) {
        Timer& t = timers[i];
        if (!t.eventId || !t.Pending() || now >= t.RecordFrom())
            continue;
        for (const GuideEntry& entry : TheGuide().Events(t.service, t.start - kLookAround, t.end + kLookAround))
            if (entry.eventId == *t.eventId) {
                if (FollowEvent(t, entry, now))
                    changed.push_back(i);
                break;
            }
    }
}
