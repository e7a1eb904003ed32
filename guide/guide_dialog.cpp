#include "guide/guide_dialog.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "channels/text/dvb_text.h"
#include "common/wide_text.h"
#include "guide/guide_rows.h"
#include "resources/resource_ids.h"

namespace {

struct Column {
    const wchar_t* header;
    int width;  // pixels
};

constexpr Column kColumns[] = {
    {L"Cha\u00eene", 90},
    {L"D\u00e9but", 60},
    {L"Fin", 60},
    {L"Nom du programme", 220},
    {L"Description", 700},
};

void AddColumns(HWND list)
{
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i].header);
        column.cx = kColumns[i].width;
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void SetCell(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void Refill(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_GUIDE_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    FillGuideList(list);
}

}  // namespace

void FillGuideList(HWND list)
{
    int row = 0;
    for (const GuideRow& r : GuideRows(Chaines)) {
        // Names and guide texts are broadcast text, decoded as the status bar shows them.
        const std::wstring name = ToWide(DecodeDvbText(Chaines[r.channel].Nom));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        const int inserted = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (inserted < 0)
            break;
        SetCell(list, inserted, 1, WidenAscii(r.event.startText));
        SetCell(list, inserted, 2, WidenAscii(r.event.endText));
        SetCell(list, inserted, 3, ToWide(DecodeDvbText(r.event.title, r.event.titleTable)));
        SetCell(list, inserted, 4, ToWide(DecodeDvbText(r.event.description, r.event.descriptionTable)));
        ++row;
    }
}

INT_PTR CALLBACK GuideDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND list = GetDlgItem(dialog, IDC_GUIDE_LIST);
        const DWORD styles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);
        AddColumns(list);
        FillGuideList(list);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_GUIDE_REFRESH:
            Refill(dialog);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}
