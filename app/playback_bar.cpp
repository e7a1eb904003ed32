#include "app/playback_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "app/shell_state.h"
#include "app/window_class.h"
#include "resources/playback_ids.h"

namespace {

constexpr wchar_t kBarClass[] = L"BrisomePlaybackBar";
constexpr int kBarHeight = 30;
constexpr int kMargin = 3;
constexpr int kButtonWidth = 70;
constexpr int kTextWidth = 140;
constexpr int kSliderRange = 1000;

HWND bar = nullptr;
HWND playButton = nullptr;
HWND slider = nullptr;
HWND positionText = nullptr;
HWND directButton = nullptr;
bool shownPaused = false;
std::wstring shownText;

// The bar passes its buttons on to the main window, which keeps the keyboard.
LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        const HWND owner = GetParent(window);
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
        SetFocus(owner);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A press on the slider seeks to the place pressed, not a page towards it.
LRESULT CALLBACK SliderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
        if (message == WM_LBUTTONDOWN) {
            RECT channel{};
            SendMessageW(window, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
            const int x = static_cast<short>(LOWORD(lParam));
            const int width = std::max<int>(1, channel.right - channel.left);
            const int share = std::clamp<int>((x - channel.left) * kPlaybackSeekScale / width, 0, kPlaybackSeekScale);
            PostMessageW(mainWindow, WM_PLAYBACK_SEEK, static_cast<WPARAM>(share), 0);
        }
        SetFocus(mainWindow);
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id)
{
    HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, bar,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instanceHandle, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
}

void Create(HWND owner)
{
    if (!RegisterWindowClassOnce(kBarClass, BarProc, LoadCursorW(nullptr, IDC_ARROW),
                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
        return;
    bar = CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 10, kBarHeight, owner, nullptr,
                          instanceHandle, nullptr);
    if (!bar)
        return;
    playButton = Child(L"BUTTON", L"Pause", BS_PUSHBUTTON, IDC_PLAYBACK_PLAY);
    slider = Child(TRACKBAR_CLASSW, L"", TBS_HORZ | TBS_NOTICKS, IDC_PLAYBACK_SLIDER);
    SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kSliderRange));
    SetWindowSubclass(slider, SliderProc, 1, 0);
    positionText = Child(L"STATIC", L"", SS_CENTER | SS_CENTERIMAGE, IDC_PLAYBACK_POSITION);
    directButton = Child(L"BUTTON", L"Direct", BS_PUSHBUTTON, IDC_PLAYBACK_DIRECT);
}

}  // namespace

void ShowPlaybackBar(HWND owner)
{
    if (!bar)
        Create(owner);
    if (bar)
        ShowWindow(bar, SW_SHOWNA);
}

void HidePlaybackBar()
{
    if (bar)
        ShowWindow(bar, SW_HIDE);
}

bool PlaybackBarShown()
{
    return bar && IsWindowVisible(bar);
}

int PlaybackBarHeight()
{
    return PlaybackBarShown() ? kBarHeight : 0;
}

void LayoutPlaybackBar(const RECT& area)
{
    if (!bar)
        return;
    const int width = area.right - area.left;
    MoveWindow(bar, area.left, area.bottom - kBarHeight, width, kBarHeight, TRUE);
    const int h = kBarHeight - 2 * kMargin;
    const int sliderWidth = std::max(20, width - 2 * kButtonWidth - kTextWidth - 5 * kMargin);
    int x = kMargin;
    MoveWindow(playButton, x, kMargin, kButtonWidth, h, TRUE);
    x += kButtonWidth + kMargin;
    MoveWindow(slider, x, kMargin, sliderWidth, h, TRUE);
    x += sliderWidth + kMargin;
    MoveWindow(positionText, x, kMargin, kTextWidth, h, TRUE);
    x += kTextWidth + kMargin;
    MoveWindow(directButton, x, kMargin, kButtonWidth, h, TRUE);
}

void UpdatePlaybackBar(bool paused, double share, const std::wstring& text)
{
    if (!bar)
        return;
    if (paused != shownPaused || GetWindowTextLengthW(playButton) == 0) {
        SetWindowTextW(playButton, paused ? L"Lecture" : L"Pause");
        shownPaused = paused;
    }
    SendMessageW(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(std::clamp(share, 0.0, 1.0) * kSliderRange));
    if (text != shownText) {
        SetWindowTextW(positionText, text.c_str());
        shownText = text;
    }
}
