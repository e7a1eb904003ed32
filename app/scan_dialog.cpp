#include "app/scan_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/scan_source.h"
#include "channels/text/dvb_text.h"
#include "common/wide_text.h"
#include "resources/resource_ids.h"

namespace {

HWND openDialog = nullptr;

void ShowReports(HWND dialog, const std::vector<ScanReport>& reports)
{
    for (const ScanReport& report : reports) {
        switch (report.kind) {
        case ScanReport::Kind::Range:
            // PBM_SETRANGE32 takes an int: a frequency plan is never that long.
            SendDlgItemMessageW(dialog, IDC_SCAN_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(report.value));
            break;
        case ScanReport::Kind::Position:
            SendDlgItemMessageW(dialog, IDC_SCAN_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(report.value), 0);
            break;
        case ScanReport::Kind::Name:
            SendDlgItemMessageW(dialog, IDC_SCAN_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(report.name.c_str()));
            break;
        }
    }
}

// A dialog procedure's answer to a sent message goes through DWLP_MSGRESULT.
INT_PTR Answer(HWND dialog, LRESULT result)
{
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

ScanWorker* ScanDialogWorker(HWND dialog)
{
    return reinterpret_cast<ScanWorker*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void EndScanDialog(HWND dialog)
{
    if (ScanWorker* worker = ScanDialogWorker(dialog))
        worker->Stop(false);
    openDialog = nullptr;
    EndDialog(dialog, 0);
}

void CancelScanDialog(HWND dialog)
{
    if (ScanWorker* worker = ScanDialogWorker(dialog))
        worker->Stop(true);
    openDialog = nullptr;
    EndDialog(dialog, 0);
}

HWND OpenScanDialog()
{
    return openDialog && IsWindow(openDialog) ? openDialog : nullptr;
}

INT_PTR CALLBACK ScanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        openDialog = dialog;
        return TRUE;
    case WM_COMMAND:
        // Escape and the close command arrive as IDCANCEL too: they cancel only
        // the dialog that offers "Annuler", and do nothing in the first start's.
        if (LOWORD(wParam) == IDCANCEL && GetDlgItem(dialog, IDCANCEL))
            CancelScanDialog(dialog);
        return TRUE;
    case WM_SCAN_TUNE:
        TuneForScan(static_cast<std::int32_t>(wParam));
        return Answer(dialog, 0);
    case WM_SCAN_SIGNAL:
        return Answer(dialog, ReadSignalForScan());
    case WM_SCAN_PROGRESS:
        if (ScanWorker* worker = ScanDialogWorker(dialog))
            ShowReports(dialog, worker->TakeReports());
        return TRUE;
    case WM_SCAN_FINISHED:
        if (ScanWorker* worker = ScanDialogWorker(dialog))
            ShowReports(dialog, worker->TakeReports());
        EndScanDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

void QueuedScanProgress::SetRange(std::size_t count)
{
    worker_.Report({ScanReport::Kind::Range, count, {}});
}

void QueuedScanProgress::SetPosition(std::size_t position)
{
    worker_.Report({ScanReport::Kind::Position, position, {}});
}

void QueuedScanProgress::AddName(const Chaine& channel)
{
    worker_.Report({ScanReport::Kind::Name, 0, ToWide(DecodeDvbText(channel.Nom))});
}
