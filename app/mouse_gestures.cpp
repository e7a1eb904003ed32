#include "app/mouse_gestures.h"

#include "app/mouse_rules.h"
#include "app/shell_state.h"
#include "app/window_modes.h"

namespace {

// Long enough for the second press of a double click to arrive and cancel it.
constexpr UINT kSingleClickDelayMs = 300;

ClickRule clickRule;
DragRule dragRule;

// The client position a mouse message carries (signed: a captured mouse may be
// left of or above the client area).
ScreenPoint ClientPoint(LPARAM position)
{
    return {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

// The cursor's screen position when the message was made: a drag between press
// and release shows as a different screen point even when the window moved along.
ScreenPoint ScreenPointOf(LPARAM position)
{
    const ScreenPoint client = ClientPoint(position);
    POINT at{client.x, client.y};
    ClientToScreen(mainWindow, &at);
    return {at.x, at.y};
}

}  // namespace

void OnLeftButtonDown(LPARAM position)
{
    clickRule.Press(ScreenPointOf(position), GetTickCount() - lastActivationTick);
}

void OnLeftButtonUp(LPARAM position)
{
    if (clickRule.Release(ScreenPointOf(position)))
        SetTimer(mainWindow, TIMER_SINGLE_CLICK, kSingleClickDelayMs, nullptr);
}

void OnLeftDoubleClick()
{
    KillTimer(mainWindow, TIMER_SINGLE_CLICK);
    ToggleFullScreen();
    clickRule.DoubleClick();
}

void OnSingleClickTimer()
{
    KillTimer(mainWindow, TIMER_SINGLE_CLICK);
    ToggleDecorations();
}

void DragWindow(WPARAM keyState, LPARAM position)
{
    const bool held = !fullScreen && (keyState & MK_LBUTTON) != 0;
    RECT window{};
    if (held)
        GetWindowRect(mainWindow, &window);
    if (const auto to = dragRule.Move(held, {window.left, window.top}, ClientPoint(position)))
        MoveWindow(mainWindow, to->x, to->y, window.right - window.left, window.bottom - window.top, TRUE);
}
