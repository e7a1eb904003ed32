#include "ui/about_dialog.h"

#include <shellapi.h>

#include "resources/resource_ids.h"
#include "ui/hyperlink.h"

namespace {

// The project's web page, set by the build; the link shows and opens this text.
constexpr wchar_t kWebAddress[] = L"" BRISOME_WEB_ADDRESS;

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextW(dialog, IDC_ABOUT_LINK, kWebAddress);
        MakeDialogItemHyperlink(dialog, IDC_ABOUT_LINK);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_ABOUT_LINK:
            // Whether a program handles the address is not ours to report.
            ShellExecuteW(dialog, L"open", kWebAddress, nullptr, nullptr, SW_SHOWNORMAL);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
