#pragma once
// The broadcast's clock as the schedule reader last heard it (TDT or TOT),
// against the PC's: timed recordings start by the PC's clock, so a PC that is
// more than a minute off is worth telling the user about. Times are still shown
// in the PC's local time.
#include <cstdint>
#include <optional>

// The broadcast's time minus the PC's, in seconds; none until a TDT or TOT has
// been read since start-up. Safe from any thread.
std::optional<std::int64_t> BroadcastClockDifference();

// Called by the schedule reader on each TDT or TOT.
void NoteBroadcastClockDifference(std::int64_t seconds);
