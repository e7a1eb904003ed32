#include "app/timer_list.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "app/shell_state.h"
#include "app/timer_dialog.h"
#include "app/timer_list_shared.h"
#include "record/timers/timer_form.h"
#include "resources/resource_ids.h"

namespace {

constexpr wchar_t kCaption[] = L"Enregistrement programm\u00e9";  // of its message boxes

struct TimerList {
    std::vector<std::int64_t> ids;  // the timer of each row
    std::unique_ptr<TimerBookWatch> watch;
};

TimerList* ListOf(HWND dialog)
{
    return reinterpret_cast<TimerList*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

HWND ListView(HWND dialog) { return GetDlgItem(dialog, IDC_TIMER_LIST); }

int SelectedRow(HWND dialog)
{
    return static_cast<int>(SendMessageW(ListView(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::int64_t SelectedId(HWND dialog, const TimerList& list)
{
    const int row = SelectedRow(dialog);
    return row >= 0 && row < static_cast<int>(list.ids.size()) ? list.ids[static_cast<size_t>(row)] : 0;
}

void EnableButtons(HWND dialog)
{
    const bool selected = SelectedRow(dialog) >= 0;
    EnableWindow(GetDlgItem(dialog, IDC_TIMER_CHANGE), selected);
    EnableWindow(GetDlgItem(dialog, IDC_TIMER_DELETE), selected);
}

void SetCell(HWND view, int row, int column, const std::string& utf8)
{
    std::wstring text = TimerText(utf8);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    SendMessageW(view, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The rows again from the book, the selected timer kept selected.
void Fill(HWND dialog, TimerList& list)
{
    const std::int64_t selected = SelectedId(dialog, list);
    std::vector<const Timer*> timers;
    for (const Timer& t : ProgramTimers().Timers())
        timers.push_back(&t);
    std::stable_sort(timers.begin(), timers.end(),
                     [](const Timer* a, const Timer* b) { return a->start < b->start; });
    HWND view = ListView(dialog);
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
    list.ids.clear();
    for (const Timer* t : timers) {
        const TimerRow cells = RowOf(*t, ProgramTimers().zone());
        const int row = static_cast<int>(list.ids.size());
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        std::wstring channel = TimerText(cells.channel);
        item.pszText = channel.data();
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        SetCell(view, row, 1, cells.day);
        SetCell(view, row, 2, cells.start);
        SetCell(view, row, 3, cells.end);
        SetCell(view, row, 4, cells.title);
        SetCell(view, row, 5, cells.state);
        list.ids.push_back(t->id);
        if (t->id == selected) {
            LVITEMW state{};
            state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        }
    }
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view, nullptr, TRUE);
    EnableButtons(dialog);
}

void AddColumns(HWND view)
{
    struct Column {
        const wchar_t* title;
        int width;
    };
    static const Column kColumns[] = {{L"Cha\u00eene", 110}, {L"Jour", 100}, {L"D\u00e9but", 50},
                                      {L"Fin", 50},          {L"Titre", 170}, {L"\u00c9tat", 150}};
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[c].title);
        column.cx = kColumns[c].width;
        column.iSubItem = c;
        SendMessageW(view, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void Change(HWND dialog, const TimerList& list)
{
    if (const std::int64_t id = SelectedId(dialog, list))
        EditTimer(dialog, id);
}

// A waiting timer goes at once; a recording one is asked about first, since
// taking it out of the book is what stops its recording.
void Delete(HWND dialog, const TimerList& list)
{
    const Timer* timer = ProgramTimers().Find(SelectedId(dialog, list));
    if (!timer)
        return;
    if (timer->state == TimerState::Recording) {
        const std::wstring question = L"L'enregistrement \u00ab " + TimerText(timer->title) +
                                      L" \u00bb est en cours. L'arr\u00eater et le supprimer ?";
        if (MessageBoxW(dialog, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return;
    }
    const TimerBook::Outcome outcome = ProgramTimers().Remove(timer->id);
    if (!outcome.message.empty())
        MessageBoxW(dialog, TimerText(outcome.message).c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

BOOL OnInit(HWND dialog, TimerList* list)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(list));
    AddColumns(ListView(dialog));
    list->watch = std::make_unique<TimerBookWatch>(dialog, WM_TIMERS_CHANGED);
    Fill(dialog, *list);
    return TRUE;
}

void OnNotify(HWND dialog, TimerList& list, const NMHDR& header)
{
    if (header.idFrom != IDC_TIMER_LIST)
        return;
    if (header.code == NM_DBLCLK)
        Change(dialog, list);
    else if (header.code == LVN_ITEMCHANGED)
        EnableButtons(dialog);
    else if (header.code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE)
        Delete(dialog, list);
}

INT_PTR CALLBACK TimerListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInit(dialog, reinterpret_cast<TimerList*>(lParam));
    TimerList* list = ListOf(dialog);
    if (!list)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TIMER_NEW: EditTimer(dialog, 0); break;
        case IDC_TIMER_CHANGE: Change(dialog, *list); break;
        case IDC_TIMER_DELETE: Delete(dialog, *list); break;
        case IDOK:
        case IDCANCEL: EndDialog(dialog, 0); break;
        default: break;
        }
        return TRUE;
    case WM_NOTIFY:
        OnNotify(dialog, *list, *reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_TIMERS_CHANGED:
        Fill(dialog, *list);
        return TRUE;
    case WM_DESTROY:
        list->watch.reset();
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void ShowTimerList(HWND owner)
{
    TimerList list;
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_TIMERS), owner, TimerListProc,
                    reinterpret_cast<LPARAM>(&list));
}
