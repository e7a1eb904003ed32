#pragma once
// The scan's own thread. A section request of the sections-and-tables filter
// blocks its caller until the section comes or its time-out ends (up to 10 s):
// made on the user-interface thread, it would freeze the scan dialog. The worker
// makes the requests and reports to the dialog by posted messages; tuning and the
// signal statistics stay on the user-interface thread, whose apartment owns the
// graph's tuner interfaces, and the worker asks for them by sent messages.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "channels/chaine.h"
#include "channels/lock_wait.h"
#include "common/com_ptr.h"
#include "graph/mpeg2_data.h"

// Messages of the scan dialog (WM_USER's first values are the dialog manager's).
constexpr UINT WM_SCAN_TUNE = WM_APP + 0x20;      // wParam: frequency in kHz; sent
constexpr UINT WM_SCAN_SIGNAL = WM_APP + 0x21;    // result: the signal statistics; sent
constexpr UINT WM_SCAN_PROGRESS = WM_APP + 0x22;  // posted: the worker's reports are waiting
constexpr UINT WM_SCAN_FINISHED = WM_APP + 0x23;  // posted: the worker has ended its scan

// One report of the worker to the dialog, in the order the scan made them.
struct ScanReport {
    enum class Kind { Range, Position, Name } kind;
    std::size_t value = 0;
    std::wstring name;
};

class ScanWorker {
public:
    // The scan fills `list` (and the first NIT it meets into `capturedNit`): the
    // program's own list at the first start, a list of its own when scanning again
    // while the program plays, so that the channels in use stay untouched.
    ScanWorker(ChannelList& list, std::vector<std::uint8_t>& capturedNit) : list_(list), capturedNit_(capturedNit) {}
    ScanWorker(const ScanWorker&) = delete;
    ScanWorker& operator=(const ScanWorker&) = delete;
    ~ScanWorker() { Stop(); }

    // Starts the scan of `frequencies`, reporting to `dialog`. Called on the
    // user-interface thread, once. False when the thread could not be made.
    bool Start(HWND dialog, std::vector<std::int32_t> frequencies, const ScanWaits& waits);
    // True from the first Start on, also once the scan has ended.
    bool Started() const { return started_; }

    // Called on the worker: queues a report and wakes the dialog when the queue was empty.
    void Report(ScanReport report);
    // Called on the user-interface thread: the reports queued so far, in order.
    std::vector<ScanReport> TakeReports();

    // Waits for the thread to end, answering the messages it sends meanwhile; with
    // `cancel`, first tells it to stop asking the tuner and the filter, so it ends
    // within the request under way. Then releases what the thread used. True when
    // the scan ran to its end.
    bool Stop(bool cancel = true);

    // The worker's side, for the source it drives.
    HANDLE CancelEvent() const { return cancel_; }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();

    HWND dialog_ = nullptr;
    HANDLE thread_ = nullptr;
    HANDLE cancel_ = nullptr;
    std::vector<std::int32_t> frequencies_;
    ScanWaits waits_;
    ChannelList& list_;
    std::vector<std::uint8_t>& capturedNit_;
    // The filter's IMpeg2Data in the global interface table, for the worker's apartment.
    DWORD sectionsCookie_ = 0;
    bool sectionsShared_ = false;
    // The filter's identity, compared with what the worker unmarshals, never called.
    const IUnknown* sectionsIdentity_ = nullptr;
    bool started_ = false;
    bool completed_ = false;

    std::mutex reportsLock_;
    std::vector<ScanReport> reports_;
};
