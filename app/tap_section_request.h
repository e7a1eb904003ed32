#pragma once
// The scan's tables read from the transport-stream tap, for when the graph has
// no sections-and-tables filter (it is not shipped since Windows 7) or the
// filter refuses. One request per table, kept for the whole time-out: a section
// whose packets are spread over a long time is still put together.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

// Blocks until `event` is set or `milliseconds` have passed; false when the
// request must end at once (the scan was cancelled).
using EventWait = std::function<bool(HANDLE event, DWORD milliseconds)>;

// The first whole section of `tableId` on `pid` that the tap delivers within
// `timeoutMs`. False on time-out or cancel, or at once when the stream does not
// reach the tap.
bool RequestTapSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs, const EventWait& wait,
                       std::vector<std::uint8_t>& section);

// A wait that only the section's arrival or the time-out ends.
EventWait PlainWait();
// A wait that `cancel` being set ends too, for the scan's own thread.
EventWait CancellableWait(HANDLE cancel);
