#pragma once
// What the "Guide complet" window takes from parts of the program that are
// built beside it: the broadcast clock and the recording timers.
#include <cstdint>
#include <optional>

#include "guide/schedule/guide_entry.h"

// The PC's clock minus the broadcast's (TDT/TOT), in seconds; nothing while no
// time table has been read.
std::optional<std::int64_t> GuideWindowClockDifference();

// Whether a timed recording is set for the programme (its box gets a mark).
bool IsRecordingSetFor(const GuideEntry& event);
