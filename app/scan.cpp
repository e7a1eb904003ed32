#include "app/scan.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/scan_dialog.h"
#include "app/scan_source.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/channel_file_win.h"
#include "channels/frequency_plan_win.h"
#include "channels/scan_rules.h"
#include "config/settings.h"
#include "resources/resource_ids.h"

bool scanPending = false;

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

}  // namespace

void OnScanDialogIdle(HWND dialog)
{
    if (!scanPending)
        return;
    // The dialog manager shows a dialog made without WS_VISIBLE only when it
    // falls idle, which is now: make sure the user sees it before the first wait.
    ShowWindow(dialog, SW_SHOWNORMAL);
    UpdateWindow(dialog);
    BuildFrequencyList(city);
    ScanDialogProgress progress(dialog);
    GraphScanSource source(dialog);
    ScanAllFrequencies(Frequences, source, progress, Chaines, capturedNit);
    scanPending = false;
    EndDialog(dialog, 0);
}

int RunScan()
{
    // The progress bar's class is not among those registered at start-up: without
    // it the dialog cannot be made.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    scanPending = true;
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_SCAN), mainWindow, ScanDialogProc, 0);
    scanPending = false;  // also when the dialog could not be made
    if (Chaines.empty())
        return 1;

    FinishScan(Chaines, &capturedNit);
    capturedNit = {};
    // A file of no channel would stop every later start; better scan again then.
    if (Chaines.empty())
        return 1;
    if (MoveUnreadableChannelFileAside())
        SaveChannelFile();
    return 0;
}
