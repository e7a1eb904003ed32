#include "app/guide_window.h"

#include <algorithm>
#include <ctime>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/channel_switching.h"
#include "app/guide_export.h"
#include "app/guide_grid_control.h"
#include "app/guide_window_links.h"
#include "app/guide_window_refresh.h"
#include "app/guide_window_timers.h"
#include "app/timer_list_shared.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/channel_choices.h"
#include "channels/text/dvb_text.h"
#include "common/text_convert.h"
#include "guide/clock_difference.h"
#include "guide/grid/grid_details.h"
#include "guide/guide_database.h"
#include "guide/schedule/event_texts.h"
#include "resources/resource_ids.h"

namespace {

constexpr UINT_PTR TIMER_GUIDE_CLOCK = 1;
constexpr UINT kClockPeriodMs = 30000;  // the line at now moves a pixel a minute or so
constexpr int kSearchLimit = 100;

struct GuideWindow {
    GuideGridModel model;
    GuideRefresh refresh;
    std::vector<GuideEntry> results;
    std::vector<std::int64_t> days;
    std::unique_ptr<TimerBookWatch> timersWatch;  // the marks follow the timers
};

GuideWindow* WindowOf(HWND dialog)
{
    return reinterpret_cast<GuideWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The grid's now: the PC's clock corrected by the broadcast's, so that a PC
// whose clock is wrong still opens on what is on the air.
std::int64_t Now()
{
    return ProgramNow(static_cast<std::int64_t>(std::time(nullptr)), StoredClockDifference());
}

// The offset of the PC's zone at an instant, with the summer rule of that date.
int WindowsUtcOffset(std::int64_t utc)
{
    const ULONGLONG ticks = static_cast<ULONGLONG>(std::max<std::int64_t>(utc, 0) + 11644473600LL) * 10000000ULL;
    FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal, local;
    FILETIME localFt;
    if (!FileTimeToSystemTime(&ft, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
        !SystemTimeToFileTime(&local, &localFt))
        return 0;
    const ULONGLONG localTicks = (static_cast<ULONGLONG>(localFt.dwHighDateTime) << 32) | localFt.dwLowDateTime;
    return static_cast<int>((static_cast<long long>(localTicks) - static_cast<long long>(ticks)) / 10000000LL);
}

std::wstring Wide(const std::string& utf8)
{
    return WidenText(utf8, CodePage::Utf8);
}

std::string Utf8(const std::wstring& text)
{
    return NarrowText(text, CodePage::Utf8);
}

// The channels in list order; hidden ones stay out of the grid as they stay out
// of the arrows' steps.
std::vector<GridRow> ChannelRows()
{
    std::vector<GridRow> rows;
    const bool withChoices = ChannelChoices.size() == Chaines.size();
    for (size_t i = 0; i < Chaines.size(); ++i) {
        if (withChoices && ChannelChoices[i].hidden)
            continue;
        GridRow row;
        row.channel = static_cast<int>(i);
        row.number = Chaines[i].Numero;
        row.name = Utf16ToUtf8(DecodeDvbText(Chaines[i].Nom));
        row.key = KeyOf(Chaines[i]);
        rows.push_back(std::move(row));
    }
    return rows;
}

int RowOfChannel(const std::vector<GridRow>& rows, int channel)
{
    for (size_t r = 0; r < rows.size(); ++r)
        if (rows[r].channel == channel)
            return static_cast<int>(r);
    return 0;
}

// Sets a control's text only when it differs: no redraw, no flicker otherwise.
void SetTextIfChanged(HWND control, const std::wstring& text)
{
    std::wstring shown(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    shown.resize(static_cast<size_t>(GetWindowTextW(control, shown.data(), static_cast<int>(shown.size()))));
    if (shown != text)
        SetWindowTextW(control, text.c_str());
}

void ShowDetails(HWND dialog, const GuideWindow& w)
{
    std::wstring text;
    if (const GuideEntry* e = w.model.Selected())
        text = Wide(EventDetails(*e, w.model.rows[static_cast<size_t>(w.model.state.place.row)].name,
                                 w.model.offsetAt));
    // The same text set again would scroll the pane back to its top.
    SetTextIfChanged(GetDlgItem(dialog, IDC_GRID_DETAILS), text);
}

void ShowClockNotice(HWND dialog)
{
    SetTextIfChanged(GetDlgItem(dialog, IDC_GRID_CLOCK), Wide(ClockNotice(GuideWindowClockDifference())));
}

void LabelDays(HWND dialog, GuideWindow& w)
{
    std::int64_t lastStop = w.model.now;
    for (const GridRow& row : w.model.rows)
        if (!row.events.empty())
            lastStop = std::max(lastStop, row.events.back().stop);
    w.days = GuideDays(w.model.now, lastStop, w.model.offsetAt);
    for (int i = 0; i < GRID_DAY_BUTTONS; ++i) {
        HWND button = GetDlgItem(dialog, IDC_GRID_DAY_FIRST + i);
        const bool used = i < static_cast<int>(w.days.size());
        if (used) {
            const std::int64_t day = w.days[static_cast<size_t>(i)];
            const std::wstring label =
                i == 0 ? L"Aujourd'hui" : Wide(ShortDayText(LocalDateOf(day, w.model.offsetAt(day))));
            SetWindowTextW(button, label.c_str());
        }
        ShowWindow(button, used ? SW_SHOW : SW_HIDE);
    }
}

void Place(HWND dialog, int id, int x, int y, int width, int height)
{
    MoveWindow(GetDlgItem(dialog, id), x, y, std::max(0, width), std::max(0, height), TRUE);
}

// The controls follow the window's size: the grid takes what the bars leave.
void LayOut(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    const int width = client.right, height = client.bottom;
    constexpr int m = 6, bar = 24, notice = 18, bottom = 160;
    for (int i = 0; i < GRID_DAY_BUTTONS; ++i)
        Place(dialog, IDC_GRID_DAY_FIRST + i, m + i * 86, m, 82, bar);
    Place(dialog, IDC_GRID_EXPORT, width - m - 200, m, 200, bar);
    Place(dialog, IDC_GRID_CLOCK, m, m + bar + 4, width - 2 * m, notice);
    const int gridTop = m + bar + 4 + notice + 2;
    const int gridBottom = height - m - bottom - m;
    Place(dialog, IDC_GRID_VIEW, m, gridTop, width - 2 * m, gridBottom - gridTop);
    const int detailsWidth = (width - 3 * m) * 3 / 5;
    const int top = gridBottom + m;
    Place(dialog, IDC_GRID_DETAILS, m, top, detailsWidth, bottom);
    const int searchLeft = 2 * m + detailsWidth;
    const int searchWidth = width - m - searchLeft;
    Place(dialog, IDC_GRID_SEARCH, searchLeft, top, searchWidth - 90, bar);
    Place(dialog, IDC_GRID_SEARCH_GO, searchLeft + searchWidth - 84, top, 84, bar);
    Place(dialog, IDC_GRID_RESULTS, searchLeft, top + bar + 4, searchWidth, bottom - bar - 4);
}

void Choose(HWND dialog, GuideWindow& w, int index)
{
    if (index < 0 || index >= static_cast<int>(w.results.size()))
        return;
    const GuideEntry& found = w.results[static_cast<size_t>(index)];
    for (size_t r = 0; r < w.model.rows.size(); ++r) {
        const auto& events = w.model.rows[r].events;
        if (w.model.rows[r].key != found.service)
            continue;
        for (size_t e = 0; e < events.size(); ++e)
            if (events[e].start == found.start) {
                w.model.now = Now();
                w.model.state = ShowPlace(w.model.Context(), w.model.state,
                                          GridPlace{static_cast<int>(r), static_cast<int>(e)});
                GuideGridChanged(GetDlgItem(dialog, IDC_GRID_VIEW));
                return;
            }
    }
}

// The upcoming programmes that hold the words, soonest first; the first shows
// at once in the grid.
void Search(HWND dialog, GuideWindow& w)
{
    wchar_t typed[256] = L"";
    GetDlgItemTextW(dialog, IDC_GRID_SEARCH, typed, static_cast<int>(std::size(typed)));
    HWND list = GetDlgItem(dialog, IDC_GRID_RESULTS);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    w.results.clear();
    w.model.now = Now();
    for (GuideEntry& e : TheGuide().Search(Utf8(typed), w.model.now, kSearchLimit)) {
        const auto row = std::find_if(w.model.rows.begin(), w.model.rows.end(),
                                      [&](const GridRow& r) { return r.key == e.service; });
        // A service of no channel of the list has no row to show it in.
        if (row == w.model.rows.end())
            continue;
        const std::wstring line = Wide(SearchResultLine(e, row->name, w.model.offsetAt));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        w.results.push_back(std::move(e));
    }
    if (w.results.empty()) {
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(L"Aucun programme \u00e0 venir ne correspond \u00e0 la recherche."));
        return;
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    Choose(dialog, w, 0);
}

// Enter on a programme on the air watches its channel, with the window out of
// the picture's way; on another there is nothing to watch yet.
void Watch(HWND dialog, GuideWindow& w)
{
    w.model.now = Now();
    const GuideEntry* e = w.model.Selected();
    if (!e || e->start > w.model.now || e->stop <= w.model.now) {
        MessageBeep(MB_OK);
        return;
    }
    SelectChannel(w.model.rows[static_cast<size_t>(w.model.state.place.row)].channel);
    EndDialog(dialog, 0);
}

void OnDay(HWND dialog, GuideWindow& w, int index)
{
    if (index >= static_cast<int>(w.days.size()))
        return;
    w.model.now = Now();
    w.model.state = JumpToDay(w.model.Context(), w.model.state, w.days[static_cast<size_t>(index)]);
    HWND grid = GetDlgItem(dialog, IDC_GRID_VIEW);
    GuideGridChanged(grid);
    SetFocus(grid);
}

BOOL OnInit(HWND dialog, GuideWindow* w)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(w));
    w->model.now = Now();
    w->model.offsetAt = WindowsUtcOffset;
    w->model.rows = ChannelRows();
    NoteGuideRead(w->refresh);
    FillRows(w->model.rows, TheGuide().AllEvents());
    LayOut(dialog);
    HWND grid = GetDlgItem(dialog, IDC_GRID_VIEW);
    SetGuideGridModel(grid, &w->model);
    w->model.state = StateAtNow(w->model.Context(), RowOfChannel(w->model.rows, currentChannel));
    LabelDays(dialog, *w);
    ShowClockNotice(dialog);
    ShowDetails(dialog, *w);
    SendDlgItemMessageW(dialog, IDC_GRID_SEARCH, EM_LIMITTEXT, 200, 0);
    SetTimer(dialog, TIMER_GUIDE_CLOCK, kClockPeriodMs, nullptr);
    SetTimer(dialog, TIMER_GUIDE_REFRESH, kGuideRefreshPeriodMs, nullptr);
    w->timersWatch = std::make_unique<TimerBookWatch>(dialog, WM_GRID_TIMERS_CHANGED);
    SetFocus(grid);
    return FALSE;  // the focus is set
}

void OnOk(HWND dialog, GuideWindow& w)
{
    // Enter reaches the dialog from the search's box and from the list.
    HWND focus = GetFocus();
    if (focus == GetDlgItem(dialog, IDC_GRID_RESULTS))
        Choose(dialog, w, static_cast<int>(SendDlgItemMessageW(dialog, IDC_GRID_RESULTS, LB_GETCURSEL, 0, 0)));
    else
        Search(dialog, w);
}

void OnCommand(HWND dialog, GuideWindow& w, WORD id, WORD code)
{
    if (id >= IDC_GRID_DAY_FIRST && id < IDC_GRID_DAY_FIRST + GRID_DAY_BUTTONS) {
        OnDay(dialog, w, id - IDC_GRID_DAY_FIRST);
        return;
    }
    switch (id) {
    case IDC_GRID_VIEW:
        if (code == GRIDN_SELECTED)
            ShowDetails(dialog, w);
        else if (code == GRIDN_WATCH)
            Watch(dialog, w);
        else if (code == GRIDN_RECORD)
            RecordGridSelection(dialog, w.model);
        break;
    case IDC_GRID_SEARCH_GO: Search(dialog, w); break;
    case IDC_GRID_RESULTS:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK)
            Choose(dialog, w, static_cast<int>(SendDlgItemMessageW(dialog, IDC_GRID_RESULTS, LB_GETCURSEL, 0, 0)));
        break;
    case IDC_GRID_EXPORT: ExportGuideAsXmltv(dialog); break;
    case IDOK: OnOk(dialog, w); break;
    case IDCANCEL: EndDialog(dialog, 0); break;
    default: break;
    }
}

INT_PTR CALLBACK GuideWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInit(dialog, reinterpret_cast<GuideWindow*>(lParam));
    GuideWindow* w = WindowOf(dialog);
    if (!w)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(dialog, *w, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SIZE:
        LayOut(dialog);
        return TRUE;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{720, 480};
        return TRUE;
    case WM_TIMER:
        if (wParam == TIMER_GUIDE_CLOCK) {
            w->model.now = Now();
            ShowClockNotice(dialog);
            InvalidateRect(GetDlgItem(dialog, IDC_GRID_VIEW), nullptr, FALSE);
        } else if (wParam == TIMER_GUIDE_REFRESH) {
            // The broadcast's clock may be heard after the window opened.
            ShowClockNotice(dialog);
            if (RefreshGuideRows(GetDlgItem(dialog, IDC_GRID_VIEW), w->model, w->refresh, Now()))
                LabelDays(dialog, *w);
        }
        return TRUE;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != GetDlgItem(dialog, IDC_GRID_VIEW))
            return FALSE;
        ShowGridRecordMenu(dialog, w->model, lParam);
        return TRUE;
    case WM_GRID_TIMERS_CHANGED:
        InvalidateRect(GetDlgItem(dialog, IDC_GRID_VIEW), nullptr, FALSE);
        return TRUE;
    case WM_DESTROY:
        w->timersWatch.reset();
        KillTimer(dialog, TIMER_GUIDE_CLOCK);
        KillTimer(dialog, TIMER_GUIDE_REFRESH);
        SetGuideGridModel(GetDlgItem(dialog, IDC_GRID_VIEW), nullptr);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void ShowGuideWindow(HWND owner)
{
    if (!RegisterGuideGridClass(instanceHandle))
        return;
    GuideWindow window;
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_GUIDE_GRID), owner, GuideWindowProc,
                    reinterpret_cast<LPARAM>(&window));
}
