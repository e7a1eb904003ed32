#include "app/scan_dialog.h"

#include <commctrl.h>

#include <string>

#include "channels/text/dvb_text.h"
#include "common/wide_text.h"
#include "resources/resource_ids.h"

INT_PTR CALLBACK ScanDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    // Escape and the close command arrive as IDCANCEL; left unanswered, they do nothing.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void ScanDialogProgress::SetRange(std::size_t count)
{
    // PBM_SETRANGE32 takes an int: a frequency plan is never that long.
    SendDlgItemMessageW(dialog_, IDC_SCAN_PROGRESS, PBM_SETRANGE32, 0, static_cast<LPARAM>(count));
}

void ScanDialogProgress::SetPosition(std::size_t position)
{
    SendDlgItemMessageW(dialog_, IDC_SCAN_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ScanDialogProgress::AddName(const Chaine& channel)
{
    const std::wstring name = ToWide(DecodeDvbText(channel.Nom));
    SendDlgItemMessageW(dialog_, IDC_SCAN_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}
