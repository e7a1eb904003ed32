#pragma once
// The scan's tables read from the transport-stream tap, for when the graph has
// no sections-and-tables filter (it is not shipped since Windows 7) or the
// filter refuses. One request per table, kept for the whole time-out: a section
// whose packets are spread over a long time is still put together.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

// Blocks until `event` is set or `milliseconds` have passed. The caller chooses
// how: a wait that dispatches the thread's messages on the user-interface thread
// (DispatchingWait), a plain wait on a worker thread.
using EventWait = std::function<void(HANDLE event, DWORD milliseconds)>;

// The first whole section of `tableId` on `pid` that the tap delivers within
// `timeoutMs`. False on time-out, or at once when the stream does not reach the tap.
bool RequestTapSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs, const EventWait& wait,
                       std::vector<std::uint8_t>& section);

// A wait for the user-interface thread: the messages that arrive meanwhile are
// dispatched, those of `dialog` through its own keyboard handling.
EventWait DispatchingWait(HWND dialog);
// A wait for any other thread.
EventWait PlainWait();
