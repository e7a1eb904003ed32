#include "record/timers/wake_alarm.h"

#include "record/timers/scheduler.h"

std::optional<std::int64_t> ResumeTime(const std::vector<Timer>& timers, std::int64_t now, const TimeZoneRule& zone)
{
    // A recording that runs keeps the PC awake by itself; its next occurrence
    // is looked at once it ends.
    std::vector<Timer> waiting;
    for (const Timer& t : timers)
        if (t.state != TimerState::Recording)
            waiting.push_back(t);
    const std::optional<std::int64_t> next =
        NextWake(waiting, now, [](std::size_t) { return EventWatch{}; }, zone);
    if (!next || *next <= now)
        return std::nullopt;
    return *next - kResumeAhead > now ? *next - kResumeAhead : *next;
}

void ResumeKeeper::Follow(const std::vector<Timer>& timers, std::int64_t now, std::int64_t programMinusPc,
                          const TimeZoneRule& zone)
{
    std::optional<std::int64_t> at = ResumeTime(timers, now, zone);
    if (at)
        *at -= programMinusPc;
    if (at == armed_)
        return;
    if (!at) {
        alarm_.Cancel();
        armed_.reset();
        return;
    }
    // Without a resume-capable PC the platform may refuse: the recording then
    // starts when the user wakes the PC, and the next change tries again.
    if (alarm_.Set(*at))
        armed_ = at;
    else
        armed_.reset();
}

void ResumeKeeper::Stop()
{
    if (armed_)
        alarm_.Cancel();
    armed_.reset();
}
