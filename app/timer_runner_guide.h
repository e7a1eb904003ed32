#pragma once
// What the guide says of the programmes that timers set from it are recording:
// the watch that tells the scheduler when an overrunning programme has ended.
#include <cstdint>
#include <map>
#include <vector>

#include "record/timers/event_follow.h"
#include "record/timers/timer.h"

// Looks at the guide for each recording timer set from it and updates its
// watch (by timer id) as of `now`.
void LookAtGuide(const std::vector<Timer>& timers, std::int64_t now, std::map<std::int64_t, EventWatch>& watches);

// Moves each waiting timer set from the guide to its event's times when the
// schedule moved the event (same service and event id) before its recording
// began. Appends the indexes of the timers moved to `changed`.
void FollowMovedEvents(std::vector<Timer>& timers, std::int64_t now, std::vector<std::size_t>& changed);
