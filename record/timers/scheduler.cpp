#include "record/timers/scheduler.h"

#include <algorithm>

#include "record/timers/repetition.h"

namespace {

// A repeating timer whose occurrence is over: its next occurrence.
std::optional<Occurrence> FollowingOccurrence(const Timer& t, const TimeZoneRule& zone)
{
    if (t.Pending() || t.state == TimerState::Recording)
        return std::nullopt;
    return NextOccurrence(t, t.start, zone);
}

// A repeating timer past its occurrence: the latest of its later occurrences
// whose window has opened by `now`, however many passed while nothing ran;
// nothing while the next one is still to come.
std::optional<Occurrence> LatestDue(const Timer& t, std::int64_t now, const TimeZoneRule& zone)
{
    if (!FollowingOccurrence(t, zone))
        return std::nullopt;
    const std::int64_t before = std::int64_t{t.marginBefore} * 60;
    std::optional<Occurrence> latest = NextOccurrence(t, std::max(t.start, now + before - 8 * 86400), zone);
    if (!latest || latest->start - before > now)
        return std::nullopt;
    // A week and a day of daily occurrences at most.
    for (int guard = 0; guard < 16; ++guard) {
        const std::optional<Occurrence> next = NextOccurrence(t, latest->start, zone);
        if (!next || next->start - before > now)
            break;
        latest = next;
    }
    return latest;
}

void SetState(Timer& t, TimerState state, std::string detail)
{
    t.state = state;
    t.detail = std::move(detail);
}

}  // namespace

std::vector<TimerAction> AtStartup(std::vector<Timer>& timers, std::int64_t now, const TimeZoneRule& zone,
                                   std::vector<std::size_t>& changed)
{
    std::vector<TimerAction> starts;
    for (std::size_t i = 0; i < timers.size(); ++i) {
        Timer& t = timers[i];
        if (t.state == TimerState::Recording) {
            SetState(t, TimerState::Failed, kReasonInterrupted);
            changed.push_back(i);
            if (now < t.RecordUntil()) {
                // The file of the interrupted run keeps what was written; the
                // rest goes to a new one. The detail stays to say why it is split.
                t.state = TimerState::Recording;
                starts.push_back({TimerAction::Kind::Start, i, true});
            }
            continue;
        }
        if (t.Pending() && now >= t.RecordUntil()) {
            SetState(t, TimerState::Missed, kReasonNotRunning);
            changed.push_back(i);
        }
        // Occurrences of a repeating timer that passed while the program was
        // not running: the latest is shown missed, never skipped silently.
        if (const std::optional<Occurrence> latest = LatestDue(t, now, zone)) {
            t.start = latest->start;
            t.end = latest->end;
            if (now >= t.RecordUntil())
                SetState(t, TimerState::Missed, kReasonNotRunning);
            else
                SetState(t, TimerState::Planned, {});
            changed.push_back(i);
        }
    }
    return starts;
}

std::vector<TimerAction> Schedule(std::vector<Timer>& timers, std::int64_t now,
                                  const std::optional<ServiceKey>& tunerMultiplex, const EventWatcher& watch,
                                  const TimeZoneRule& zone, std::vector<std::size_t>& changed)
{
    std::vector<TimerAction> actions;
    std::optional<ServiceKey> held = tunerMultiplex;

    for (std::size_t i = 0; i < timers.size(); ++i) {
        Timer& t = timers[i];
        if (t.state != TimerState::Recording)
            continue;
        if (now >= StopTime(t, watch(i), now)) {
            FinishTimer(t, {});
            actions.push_back({TimerAction::Kind::Stop, i, false});
            changed.push_back(i);
        } else if (!held) {
            held = t.service;
        }
    }

    std::vector<std::size_t> due;
    for (std::size_t i = 0; i < timers.size(); ++i) {
        Timer& t = timers[i];
        // A clock set back never moves a timer: its next occurrence lies after
        // the one already recorded.
        if (const std::optional<Occurrence> latest = LatestDue(t, now, zone)) {
            t.start = latest->start;
            t.end = latest->end;
            SetState(t, TimerState::Planned, {});
            changed.push_back(i);
        }
        if (!t.Pending() || now < t.RecordFrom())
            continue;
        if (now >= t.RecordUntil()) {
            // Woken too late (a sleeping PC, a clock moved forward).
            SetState(t, TimerState::Missed, "heure d\u00e9pass\u00e9e");
            changed.push_back(i);
            continue;
        }
        due.push_back(i);
    }
    std::stable_sort(due.begin(), due.end(), [&](std::size_t a, std::size_t b) {
        return timers[a].RecordFrom() < timers[b].RecordFrom();
    });
    for (std::size_t i : due) {
        Timer& t = timers[i];
        changed.push_back(i);
        if (held && !SameMultiplex(*held, t.service)) {
            SetState(t, TimerState::Missed, kReasonTunerBusy);
            continue;
        }
        held = t.service;
        SetState(t, TimerState::Recording, {});
        actions.push_back({TimerAction::Kind::Start, i, now > t.start});
    }
    return actions;
}

std::optional<std::int64_t> NextWake(const std::vector<Timer>& timers, std::int64_t now, const EventWatcher& watch,
                                     const TimeZoneRule& zone)
{
    std::optional<std::int64_t> wake;
    auto consider = [&](std::int64_t at) { wake = wake ? std::min(*wake, at) : at; };
    for (std::size_t i = 0; i < timers.size(); ++i) {
        const Timer& t = timers[i];
        if (t.state == TimerState::Recording)
            consider(StopTime(t, watch(i), now));
        else if (t.Pending())
            consider(std::max(t.RecordFrom(), now));
        else if (const std::optional<Occurrence> next = FollowingOccurrence(t, zone))
            consider(std::max(next->start - std::int64_t{t.marginBefore} * 60, now));
    }
    return wake;
}

void FinishTimer(Timer& timer, const std::string& failure)
{
    if (!failure.empty())
        SetState(timer, TimerState::Failed, failure);
    else if (!timer.detail.empty())
        timer.state = TimerState::Failed;  // a resumption: the recording is in two files
    else
        SetState(timer, TimerState::Done, {});
}
