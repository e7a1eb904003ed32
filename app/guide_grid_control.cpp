#include "app/guide_grid_control.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "app/guide_window_links.h"
#include "common/text_convert.h"

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kHeader = RGB(236, 236, 236);
constexpr COLORREF kGridLine = RGB(200, 200, 200);
constexpr COLORREF kNowLine = RGB(220, 0, 0);
constexpr COLORREF kSelection = RGB(0, 84, 166);
constexpr COLORREF kRecordingMark = RGB(210, 0, 0);

// A pale colour per genre (the content descriptor's level-1 nibble), so that a
// box's kind reads at a glance and its title stays legible in black.
COLORREF GenreColour(std::uint8_t content)
{
    switch (content >> 4) {
    case 0x1: return RGB(204, 224, 255);  // film, fiction
    case 0x2: return RGB(255, 246, 200);  // information
    case 0x3: return RGB(255, 214, 230);  // divertissement
    case 0x4: return RGB(208, 240, 200);  // sport
    case 0x5: return RGB(255, 228, 196);  // jeunesse
    case 0x6: return RGB(232, 214, 255);  // musique
    case 0x7: return RGB(214, 240, 240);  // arts, culture
    case 0x8: return RGB(240, 232, 214);  // société
    case 0x9: return RGB(220, 236, 210);  // éducation, documentaire
    case 0xA: return RGB(250, 236, 214);  // loisirs
    default: return RGB(240, 240, 240);
    }
}

// On-air programmes are drawn a shade darker.
COLORREF Shaded(COLORREF c)
{
    return RGB(GetRValue(c) * 17 / 20, GetGValue(c) * 17 / 20, GetBValue(c) * 17 / 20);
}

GuideGridModel* ModelOf(HWND grid)
{
    return reinterpret_cast<GuideGridModel*>(GetWindowLongPtrW(grid, 0));
}

void Notify(HWND grid, WORD code)
{
    SendMessageW(GetParent(grid), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(grid), code), reinterpret_cast<LPARAM>(grid));
}

void Fill(HDC dc, const RECT& r, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Text(HDC dc, const std::wstring& text, RECT r, UINT format)
{
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              format | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

std::wstring Wide(const std::string& utf8)
{
    return WidenText(utf8, CodePage::Utf8);
}

void DrawHeader(HDC dc, const GuideGridModel& m)
{
    const GridGeometry& g = m.geometry;
    Fill(dc, RECT{0, 0, g.width, g.headerHeight}, kHeader);
    const GridView& view = m.state.view;
    const LocalDate day = LocalDateOf(view.start, m.offsetAt(view.start));
    Text(dc, Wide(ShortDayText(day)), RECT{4, 0, g.nameWidth - 4, g.headerHeight}, DT_LEFT);
    for (const GridMark& mark : HalfHourMarks(g, view, m.offsetAt)) {
        Fill(dc, RECT{mark.x, g.headerHeight - 6, mark.x + 1, g.headerHeight}, kGridLine);
        Text(dc, Wide(mark.label), RECT{mark.x + 3, 0, mark.x + g.halfHourWidth, g.headerHeight}, DT_LEFT);
    }
}

// The half-hour lines run behind the boxes, where a row has no programme.
void DrawMarkLines(HDC dc, const GuideGridModel& m)
{
    for (const GridMark& mark : HalfHourMarks(m.geometry, m.state.view, m.offsetAt))
        Fill(dc, RECT{mark.x, m.geometry.headerHeight, mark.x + 1, m.geometry.height}, kGridLine);
}

void DrawNames(HDC dc, const GuideGridModel& m)
{
    const GridGeometry& g = m.geometry;
    const int first = std::max(0, m.state.view.firstRow);
    const int last = std::min(static_cast<int>(m.rows.size()), first + VisibleRows(g));
    for (int r = first; r < last; ++r) {
        const GridRow& row = m.rows[static_cast<size_t>(r)];
        const int top = g.headerHeight + (r - first) * g.rowHeight;
        const RECT cell{0, top, g.nameWidth, top + g.rowHeight};
        Fill(dc, cell, r == m.state.place.row ? RGB(222, 232, 246) : kHeader);
        const std::wstring label =
            (row.number > 0 ? std::to_wstring(row.number) + L"  " : std::wstring()) + Wide(row.name);
        Text(dc, label, RECT{cell.left + 4, cell.top, cell.right - 4, cell.bottom}, DT_LEFT);
        Fill(dc, RECT{0, cell.bottom - 1, g.width, cell.bottom}, kGridLine);
    }
}

void DrawBoxes(HDC dc, const GuideGridModel& m)
{
    for (const GridBox& b : LayOutBoxes(m.rows, m.geometry, m.state.view, m.now)) {
        const GuideEntry& e = m.rows[static_cast<size_t>(b.row)].events[static_cast<size_t>(b.event)];
        const RECT r{b.rect.left, b.rect.top, b.rect.right - 1, b.rect.bottom - 1};
        const COLORREF colour = GenreColour(e.content);
        Fill(dc, r, b.current ? Shaded(colour) : colour);
        Fill(dc, RECT{r.right, r.top, r.right + 1, r.bottom}, kGridLine);
        const bool selected = b.row == m.state.place.row && b.event == m.state.place.event;
        if (selected) {
            HBRUSH brush = CreateSolidBrush(kSelection);
            RECT outer = r;
            FrameRect(dc, &outer, brush);
            InflateRect(&outer, -1, -1);
            FrameRect(dc, &outer, brush);
            DeleteObject(brush);
        }
        int right = r.right - 3;
        if (IsRecordingSetFor(e) && r.right - r.left > 14) {
            Fill(dc, RECT{r.right - 10, r.top + 3, r.right - 4, r.top + 9}, kRecordingMark);
            right -= 10;
        }
        // A programme begun before the view says so with its title's "<".
        const std::wstring title = (b.startsBefore ? L"< " : L"") + Wide(e.title);
        Text(dc, title, RECT{r.left + 4, r.top, right, r.bottom}, DT_LEFT);
    }
}

void Paint(HWND grid)
{
    PAINTSTRUCT ps;
    HDC target = BeginPaint(grid, &ps);
    RECT client;
    GetClientRect(grid, &client);
    // Everything is drawn into a bitmap first and copied at once: drawing the
    // background, the boxes and their texts on the screen one after another is
    // what makes a grid flicker while it scrolls.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, std::max(1L, client.right), std::max(1L, client.bottom));
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(grid), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    Fill(dc, client, kBackground);
    if (const GuideGridModel* m = ModelOf(grid)) {
        DrawMarkLines(dc, *m);
        DrawBoxes(dc, *m);
        DrawNames(dc, *m);
        DrawHeader(dc, *m);
        if (const auto x = NowLine(m->geometry, m->state.view, m->now))
            Fill(dc, RECT{*x - 1, 0, *x + 1, client.bottom}, kNowLine);
    }
    if (GetFocus() == grid) {
        RECT focus = client;
        DrawFocusRect(dc, &focus);
    }
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(grid, &ps);
}

void Move(HWND grid, GridMove move)
{
    GuideGridModel* m = ModelOf(grid);
    if (!m)
        return;
    m->state = Navigate(m->Context(), m->state, move);
    GuideGridChanged(grid);
}

bool OnKey(HWND grid, WPARAM key)
{
    switch (key) {
    case VK_LEFT: Move(grid, GridMove::Left); return true;
    case VK_RIGHT: Move(grid, GridMove::Right); return true;
    case VK_UP: Move(grid, GridMove::Up); return true;
    case VK_DOWN: Move(grid, GridMove::Down); return true;
    case VK_PRIOR: Move(grid, GridMove::PageUp); return true;
    case VK_NEXT: Move(grid, GridMove::PageDown); return true;
    case VK_HOME: Move(grid, GridMove::Home); return true;
    case VK_RETURN: Notify(grid, GRIDN_WATCH); return true;
    case 'R': Notify(grid, GRIDN_RECORD); return true;
    default: return false;
    }
}

void OnClick(HWND grid, LPARAM lParam, bool twice)
{
    SetFocus(grid);
    GuideGridModel* m = ModelOf(grid);
    if (!m)
        return;
    const auto boxes = LayOutBoxes(m->rows, m->geometry, m->state.view, m->now);
    const auto hit = HitTest(boxes, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!hit)
        return;
    m->state.place = *hit;
    GuideGridChanged(grid);
    if (twice)
        Notify(grid, GRIDN_WATCH);
}

void OnWheel(HWND grid, WPARAM wParam)
{
    GuideGridModel* m = ModelOf(grid);
    if (!m)
        return;
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
    const int last = std::max(0, static_cast<int>(m->rows.size()) - 1);
    m->state.view.firstRow = std::clamp(m->state.view.firstRow - 3 * notches, 0, last);
    InvalidateRect(grid, nullptr, FALSE);
}

LRESULT CALLBACK GridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted whole in WM_PAINT
    case WM_PAINT:
        Paint(grid);
        return 0;
    case WM_SIZE:
        if (GuideGridModel* m = ModelOf(grid)) {
            m->geometry.width = LOWORD(lParam);
            m->geometry.height = HIWORD(lParam);
        }
        InvalidateRect(grid, nullptr, FALSE);
        return 0;
    case WM_GETDLGCODE:
        // The dialog would take Enter for its default button and the arrows
        // for moving between controls.
        if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
            reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
            return DLGC_WANTARROWS | DLGC_WANTMESSAGE;
        return DLGC_WANTARROWS | DLGC_WANTCHARS;  // R is the grid's, no button's mnemonic
    case WM_KEYDOWN:
        if (OnKey(grid, wParam))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(grid, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        OnClick(grid, lParam, false);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnClick(grid, lParam, true);
        return 0;
    case WM_RBUTTONDOWN:
        OnClick(grid, lParam, false);
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(grid, wParam);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(grid, message, wParam, lParam);
}

}  // namespace

const GuideEntry* GuideGridModel::Selected() const
{
    const GridPlace& p = state.place;
    if (p.row < 0 || p.row >= static_cast<int>(rows.size()))
        return nullptr;
    const auto& events = rows[static_cast<size_t>(p.row)].events;
    if (p.event < 0 || p.event >= static_cast<int>(events.size()))
        return nullptr;
    return &events[static_cast<size_t>(p.event)];
}

bool RegisterGuideGridClass(HINSTANCE instance)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;  // no CS_HREDRAW/CS_VREDRAW: a resize redraws through WM_SIZE
    wc.lpfnWndProc = GridProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = kGuideGridClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SetGuideGridModel(HWND grid, GuideGridModel* model)
{
    SetWindowLongPtrW(grid, 0, reinterpret_cast<LONG_PTR>(model));
    if (model) {
        RECT client;
        GetClientRect(grid, &client);
        model->geometry.width = client.right;
        model->geometry.height = client.bottom;
    }
    InvalidateRect(grid, nullptr, FALSE);
}

void GuideGridChanged(HWND grid)
{
    InvalidateRect(grid, nullptr, FALSE);
    Notify(grid, GRIDN_SELECTED);
}
