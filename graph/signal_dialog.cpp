#include "graph/signal_dialog.h"

#include <cwchar>

#include "graph/graph_handles.h"
#include "resources/resource_ids.h"

namespace {

void ShowFlag(HWND dialog, int control, BOOLEAN value)
{
    SetDlgItemTextW(dialog, control, value ? L"Oui" : L"Non");
}

void ShowNumber(HWND dialog, int control, LONG value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"%ld", static_cast<long>(value));
    SetDlgItemTextW(dialog, control, text);
}

}  // namespace

void RefreshSignalDialog(HWND dialog)
{
    if (!signalStatistics)
        return;
    BOOLEAN locked = 0;
    if (SUCCEEDED(signalStatistics->get_SignalLocked(&locked)))
        ShowFlag(dialog, IDC_SIGNAL_LOCKED, locked);
    BOOLEAN present = 0;
    if (SUCCEEDED(signalStatistics->get_SignalPresent(&present)))
        ShowFlag(dialog, IDC_SIGNAL_PRESENT, present);
    LONG quality = 0;
    if (SUCCEEDED(signalStatistics->get_SignalQuality(&quality)))
        ShowNumber(dialog, IDC_SIGNAL_QUALITY, quality);
    LONG strength = 0;
    if (SUCCEEDED(signalStatistics->get_SignalStrength(&strength)))
        ShowNumber(dialog, IDC_SIGNAL_STRENGTH, strength);
}

INT_PTR CALLBACK SignalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        RefreshSignalDialog(dialog);
        SetTimer(dialog, TIMER_SIGNAL, kSignalRefreshMs, nullptr);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            KillTimer(dialog, TIMER_SIGNAL);
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        if (wParam == TIMER_SIGNAL)
            RefreshSignalDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
