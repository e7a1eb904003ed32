#pragma once
// A timer set from the guide follows its event: a schedule that moves the event
// before it starts moves the timer, and a programme that runs late keeps the
// recording going after the planned end, within a limit.
#include <cstdint>

#include "guide/schedule/guide_entry.h"
#include "record/timers/timer.h"

// How far past its planned end (after-margin included) a recording may follow
// an overrunning programme.
inline constexpr std::int64_t kMaxOverrun = 3 * 3600;

// Moves a waiting timer to the times of `event` when it is the timer's event
// (same service, same event id) with other times, and the recording has not
// begun at `now`. True when the timer moved.
bool FollowEvent(Timer& timer, const GuideEntry& event, std::int64_t now);

// What the guide says of the timer's event while it records.
struct EventWatch {
    enum class Presence { Unknown, Present, Left };
    Presence presence = Presence::Unknown;
    std::int64_t leftAt = 0;  // when it stopped being the service's present event
};

// When the recording of `timer` stops: at the planned end (end plus after-margin)
// unless its event was still the present one at the programme's planned end;
// then the after-margin past the moment the event left, never beyond the planned
// end plus kMaxOverrun. While the event is still present at `now`, past the
// programme's end, the limit is returned: ask again when the guide changes.
std::int64_t StopTime(const Timer& timer, const EventWatch& watch, std::int64_t now);
