#pragma once
// Waking a sleeping PC to record. While the program runs, one alarm of the
// platform (a waitable timer with resume) stands a little before the next
// recording's window opens, so that a PC put to sleep meanwhile wakes in time.
// The rule of that instant is pure; the alarm itself comes in through a small
// interface, and the keeper touches it only when the instant changes.
#include <cstdint>
#include <optional>
#include <vector>

#include "record/timers/time_zone.h"
#include "record/timers/timer.h"

// A sleeping PC is woken this long before a recording's window opens.
inline constexpr std::int64_t kResumeAhead = 120;

// The instant (program's clock, UTC seconds) to wake the PC at for the timers
// at `now`: two minutes before the next window to open (its start less its
// margin; a repeating timer's next occurrence counts). Inside those two
// minutes, the window's opening itself: a PC falling asleep then still wakes to
// record. Nothing when no timer waits, or when the next is due already (the
// runner starts it at once, the PC awake).
std::optional<std::int64_t> ResumeTime(const std::vector<Timer>& timers, std::int64_t now, const TimeZoneRule& zone);

// The platform's alarm, on the PC's own clock (UTC seconds).
class WakeAlarm {
public:
    virtual ~WakeAlarm() = default;
    // False when the platform refused the alarm.
    virtual bool Set(std::int64_t pcTime) = 0;
    virtual void Cancel() = 0;
};

// Keeps `alarm` on the timers' ResumeTime as they change.
class ResumeKeeper {
public:
    explicit ResumeKeeper(WakeAlarm& alarm) : alarm_(alarm) {}
    // `programMinusPc`: the program's clock minus the PC's, in seconds (the
    // broadcast's correction); the alarm goes by the PC's clock.
    void Follow(const std::vector<Timer>& timers, std::int64_t now, std::int64_t programMinusPc,
                const TimeZoneRule& zone);
    // The program ends: no alarm stays behind it.
    void Stop();
    // The PC's time the alarm stands at, if it does.
    std::optional<std::int64_t> Armed() const { return armed_; }

private:
    WakeAlarm& alarm_;
    std::optional<std::int64_t> armed_;
};
