#include "app/scan.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/scan_dialog.h"
#include "app/scan_worker.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/channel_choices.h"
#include "channels/channel_file_win.h"
#include "channels/frequency_plan_win.h"
#include "channels/lock_wait.h"
#include "channels/scan_rules.h"
#include "config/settings.h"
#include "resources/resource_ids.h"

bool scanPending = false;
bool scanCloseRequested = false;

namespace {

constexpr wchar_t kChannelFile[] = L"chaines.xml";
constexpr wchar_t kUnreadableSuffix[] = L".illisible";

// The first network information section of the process: the network's numbering
// is the same on every multiplex, so it is asked for only until it comes.
std::vector<std::uint8_t> capturedNit;

// A channel file that exists here could not be read (the scan runs only then):
// it is moved aside rather than overwritten, to chaines.xml.illisible or, when
// that name is taken, the first free chaines.xml.illisible.N. False when it stays
// in place, in which case it must not be overwritten either.
bool MoveUnreadableChannelFileAside()
{
    if (GetFileAttributesW(kChannelFile) == INVALID_FILE_ATTRIBUTES)
        return true;
    const std::wstring base = std::wstring(kChannelFile) + kUnreadableSuffix;
    for (int n = 0; n < 100; ++n) {
        const std::wstring target = n == 0 ? base : base + L"." + std::to_wstring(n);
        if (MoveFileW(kChannelFile, target.c_str()))
            return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

// The lock waits of the "Attente verrouillage" setting. A tuner without any
// carrier is given up after a second, or sooner when the whole wait is shorter.
ScanWaits ScanWaitsFromSettings()
{
    ScanWaits waits;
    waits.lockMs = lockWaitMs;
    waits.noCarrierMs = std::min(waits.noCarrierMs, lockWaitMs);
    return waits;
}

}  // namespace

void OnScanDialogIdle(HWND dialog)
{
    ScanWorker* worker = ScanDialogWorker(dialog);
    // A dialog cancelled before its first idle moment may still fall idle once.
    if (!scanPending || !worker || worker->Started() || OpenScanDialog() != dialog)
        return;
    // The dialog manager shows a dialog made without WS_VISIBLE only when it
    // falls idle, which is now: make sure the user sees it before the scan reports.
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);
    // The city may have changed since the last scan.
    Frequences.clear();
    BuildFrequencyList(city);
    if (!worker->Start(dialog, Frequences, ScanWaitsFromSettings()))
        EndScanDialog(dialog);
}

bool ScanInDialog(int dialogId, ChannelList& list, std::vector<std::uint8_t>& nit)
{
    // The progress bar's class is not among those registered at start-up: without
    // it the dialog cannot be made.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    ScanWorker worker(list, nit);
    scanPending = true;
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(dialogId), mainWindow, ScanDialogProc,
                    reinterpret_cast<LPARAM>(&worker));
    // The dialog also ends when the program's quit message reaches its loop, with
    // the scan under way: it is stopped then, and its half-list is not kept.
    const bool completed = worker.Stop();
    scanPending = false;  // also when the dialog could not be made
    return completed;
}

void CloseDuringScan()
{
    scanCloseRequested = true;
    if (HWND dialog = OpenScanDialog())
        CancelScanDialog(dialog);
}

int RunScan()
{
    // A close request that came as the scan was ending still wins: nothing is saved.
    if (!ScanInDialog(IDD_SCAN, Chaines, capturedNit) || scanCloseRequested) {
        Chaines.clear();
        capturedNit = {};
        return 1;
    }
    if (Chaines.empty())
        return 1;

    FinishScan(Chaines, &capturedNit);
    capturedNit = {};
    // A file of no channel would stop every later start; better scan again then.
    if (Chaines.empty())
        return 1;
    ChannelChoices = ChoicesOf(Chaines);
    if (MoveUnreadableChannelFileAside())
        SaveChannelFile();
    return 0;
}
