#pragma once
// The broadcast's clock as the schedule reader last heard it (TDT or TOT),
// against the PC's: timed recordings start by the PC's clock, so a PC that is
// more than a minute off is worth telling the user about. Times are still shown
// in the PC's local time.
#include <cstdint>
#include <optional>

// The broadcast's time minus the PC's, in seconds (rounded down); none until a
// TDT or TOT has been read since start-up. Safe from any thread.
std::optional<std::int64_t> BroadcastClockDifference();
// The same in milliseconds. A TDT gives whole seconds, but it is sent on the
// second: taken against the PC's clock in milliseconds, the difference stays
// steady from one TDT to the next, where whole seconds on both sides would
// swing by one whenever the PC's second turns while the section travels.
std::optional<std::int64_t> BroadcastClockDifferenceMs();

// Called by the schedule reader on each TDT or TOT: the broadcast's time minus
// the PC's when it was taken, in milliseconds.
void NoteBroadcastClockDifferenceMs(std::int64_t milliseconds);

// The time the program goes by, UTC seconds: the PC's clock (`pcNow`) corrected
// by the broadcast's difference heard since start-up, else by `remembered` (the
// one kept from an earlier session), else the PC's clock as it is. The guide
// grid's "now" and the timers both use it, so that a programme shown on the air
// is the one a timer set on it records.
std::int64_t ProgramNow(std::int64_t pcNow, std::optional<std::int64_t> remembered);
// The same in milliseconds (`pcNowMs`; `remembered` stays in seconds).
std::int64_t ProgramNowMs(std::int64_t pcNowMs, std::optional<std::int64_t> remembered);
