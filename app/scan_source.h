#pragma once
// The scan's tuner and sections: the capture graph's tuning interfaces, its
// signal statistics and its sections-and-tables filter. Every wait is cut into
// short slices between which the thread's messages are dispatched, so the scan
// dialog keeps painting and answering while the scan runs on this thread.
#include <windows.h>

#include "channels/scan_driver.h"

class GraphScanSource : public ScanSource {
public:
    // `dialog` is the scan dialog, whose keyboard messages go through its own handling.
    explicit GraphScanSource(HWND dialog) : dialog_(dialog) {}

    void Tune(std::int32_t frequencyKHz) override;
    // Polls "locked" and "present" for about a second; Present as soon as either
    // holds, Absent when neither did by then, Unknown when they cannot be read.
    SignalReport AwaitSignal() override;
    bool RequestSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                        std::vector<std::uint8_t>& section) override;

private:
    // Dispatches what is waiting in the thread's queue, then waits up to
    // `milliseconds` for more input and dispatches that too.
    void PumpMessages(DWORD milliseconds);

    HWND dialog_;
};
