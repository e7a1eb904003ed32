#pragma once
// Event information, schedule: every event of a service from the start of the
// broadcast's day on, in the sections and segments the tables are cut into.
#include <cstdint>
#include <vector>

#include "tools/tsgen/description.h"
#include "tools/tsgen/psi_tables.h"

namespace tsgen {

inline constexpr std::uint8_t kTableEitActualSchedule = 0x50;
inline constexpr std::uint8_t kTableEitOtherSchedule = 0x60;

// The schedule sections of `service` (carried by `mux`) for table 0x50.. (its
// own multiplex) or 0x60.. (another). Day 0 starts at midnight UTC of `clock`;
// each table holds four days of 32 segments of three hours, each segment up to
// eight sections numbered from segment × 8. An event goes in the segment of its
// start (one that began before midnight, in the first). Events are packed into
// sections of at most 1 kB of events, so long descriptions take several.
// Throws std::length_error when a segment needs more than eight sections or an
// event more than sixteen extended descriptors.
std::vector<Section> BuildEitSchedule(std::uint8_t firstTableId, const Multiplex& mux, const Service& service,
                                      std::int64_t clock);

// The descriptors of one event in the schedule: short event, extended events,
// content, parental rating, components.
std::vector<std::uint8_t> ScheduleEventDescriptors(const Event& event);

}  // namespace tsgen
