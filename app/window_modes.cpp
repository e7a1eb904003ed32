#include "app/window_modes.h"

#include "app/shell_state.h"
#include "app/status_bar.h"

namespace {

LONG savedCompactStyle;
LONG savedFullScreenStyle;
RECT savedWindowRect;

void DestroyStatusBar()
{
    DestroyWindow(statusBar);
    statusBar = nullptr;
}

HMENU DetachMenu()
{
    HMENU menu = GetMenu(mainWindow);
    SetMenu(mainWindow, nullptr);
    return menu;
}

// Gives the menu back and forgets it, so MenuBar never answers a stale handle.
void ReattachMenu(HMENU& saved)
{
    SetMenu(mainWindow, saved);
    saved = nullptr;
}

LONG ReplaceStyle(LONG style)
{
    return SetWindowLongW(mainWindow, GWL_STYLE, style);
}

void EnterFullScreen()
{
    // Read before anything changes the frame: this is what leaving restores.
    GetWindowRect(mainWindow, &savedWindowRect);
    savedFullScreenStyle = ReplaceStyle(0);
    if (decorationsShown) {
        DestroyStatusBar();
        heldFullScreenMenu = DetachMenu();
    }
    // Top of the Z order; an always-on-top window stays in the topmost band.
    SetWindowPos(mainWindow, HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    ShowCursor(FALSE);
    fullScreen = true;
}

void LeaveFullScreen()
{
    ReplaceStyle(savedFullScreenStyle);
    if (decorationsShown) {
        CreateStatusBar();
        ReattachMenu(heldFullScreenMenu);
    }
    const RECT& r = savedWindowRect;
    SetWindowPos(mainWindow, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    ShowCursor(TRUE);
    fullScreen = false;
}

}  // namespace

void ToggleFullScreen()
{
    // The size change sends WM_SIZE, which lays the status bar out and places the video.
    if (fullScreen)
        LeaveFullScreen();
    else
        EnterFullScreen();
}

void ToggleDecorations()
{
    if (fullScreen)
        return;
    if (decorationsShown) {
        DestroyStatusBar();
        heldCompactMenu = DetachMenu();
        savedCompactStyle = ReplaceStyle(WS_THICKFRAME);
    } else {
        CreateStatusBar();
        ReattachMenu(heldCompactMenu);
        ReplaceStyle(savedCompactStyle);
    }
    // The outer rectangle stays, so the picture gains what the decorations took.
    // Replacing the style dropped the visible bit; showing here restores it.
    SetWindowPos(mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    decorationsShown = !decorationsShown;
}
