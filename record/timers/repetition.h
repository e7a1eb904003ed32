#pragma once
// The occurrences of a repeating timer: the local time of day and the duration of
// its first occurrence, on the days its repetition names.
#include <cstdint>
#include <optional>
#include <vector>

#include "record/timers/time_zone.h"
#include "record/timers/timer.h"

struct Occurrence {
    std::int64_t start = 0;  // the programme's times, margins apart
    std::int64_t end = 0;
};

// The first occurrence that starts strictly after `after`: the one following the
// occurrence that starts at `after`. Nothing for a timer that does not repeat.
std::optional<Occurrence> NextOccurrence(const Timer& timer, std::int64_t after, const TimeZoneRule& zone);

// The timer's occurrences, its current one included, that are still open at
// `from` (recording window, margins included) and begin recording before `to`.
std::vector<Occurrence> OccurrencesBetween(const Timer& timer, std::int64_t from, std::int64_t to,
                                           const TimeZoneRule& zone);
