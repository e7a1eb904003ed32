#pragma once
// The scan's tuner and sections, for the scan's own thread (scan_worker.h). The
// sections-and-tables filter is asked from that thread, one request per table for
// the request's whole time-out: the filter assembles a section from packets that
// may be spread over a long time at a low table rate, and a request cut short
// loses what it had gathered. Tuning and the signal statistics are done by the
// user-interface thread, whose apartment holds the graph's tuner interfaces,
// through messages sent to the scan dialog.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "channels/scan_driver.h"

struct IMpeg2Data;

class GraphScanSource : public ScanSource {
public:
    // `dialog` answers the tuning and signal requests; `cancel` is set when the scan
    // must end (each call then returns at once); `sections` is the filter's
    // interface for this thread's apartment, or null when there is none.
    GraphScanSource(HWND dialog, HANDLE cancel, IMpeg2Data* sections)
        : dialog_(dialog), cancel_(cancel), sections_(sections)
    {
    }

    void Tune(std::int32_t frequencyKHz) override;
    SignalReading ReadSignal() override;
    void Pause(std::uint32_t milliseconds) override;
    std::uint64_t NowMs() override;
    bool RequestSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                        std::vector<std::uint8_t>& section) override;

private:
    enum class FilterAnswer { Delivered, TimedOut, Refused };
    // One GetSection for the whole time-out.
    FilterAnswer RequestFromFilter(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                                   std::vector<std::uint8_t>& section);
    bool Cancelled() const;

    HWND dialog_;
    HANDLE cancel_;
    IMpeg2Data* sections_;
};

// The user-interface thread's side of the requests above.
void TuneForScan(std::int32_t frequencyKHz);
// The signal statistics, as the answer to WM_SCAN_SIGNAL (scan_source.cpp).
LRESULT ReadSignalForScan();
