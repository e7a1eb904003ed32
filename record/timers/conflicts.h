#pragma once
// One tuner receives one multiplex at a time. Timers whose recording windows
// overlap on the same multiplex all record (each its own file from the same
// packets); on different multiplexes only one of them can.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "record/timers/time_zone.h"
#include "record/timers/timer.h"

// One recording window of one timer, margins included.
struct Slot {
    std::size_t timer = 0;  // index in the list the slots were made from
    std::int64_t from = 0;
    std::int64_t until = 0;
    ServiceKey service;
};

// The windows of the timers still to record (a repeating timer's occurrences
// too) that are open at `now` or open before `horizon`.
std::vector<Slot> ExpandSlots(const std::vector<Timer>& timers, std::int64_t now, std::int64_t horizon,
                              const TimeZoneRule& zone);

struct ConflictPair {
    std::size_t first = 0;  // timer indexes, first < second
    std::size_t second = 0;
    bool operator==(const ConflictPair&) const = default;
};

// Each pair of timers with overlapping windows on different multiplexes, once.
std::vector<ConflictPair> FindConflicts(std::vector<Slot> slots);

// How far ahead repetitions are checked.
inline constexpr std::int64_t kConflictHorizon = 8 * 86400;

// The index of the first timer of `timers` that `candidate` would conflict with
// (within the horizon), or timers.size() when none.
std::size_t ConflictingTimer(const Timer& candidate, const std::vector<Timer>& timers, std::int64_t now,
                             const TimeZoneRule& zone);

// Sets "Conflit avec <titre>" on each waiting timer that conflicts with another,
// and back to "Prévu" the waiting ones that no longer do. True when a state changed.
bool MarkConflicts(std::vector<Timer>& timers, std::int64_t now, const TimeZoneRule& zone);

// The warning shown when a new timer conflicts with `other` (UTF-8).
std::string ConflictWarning(const Timer& other);
