#include "app/window_on_top.h"

#include <windows.h>

#include "app/menu_bar.h"
#include "app/shell_state.h"
#include "config/settings.h"
#include "resources/resource_ids.h"

void ToggleAlwaysOnTop()
{
    // Full screen keeps the band the window was in; neither flag nor mark changes.
    if (fullScreen)
        return;
    alwaysOnTop = !alwaysOnTop;
    SetWindowPos(mainWindow, alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
    if (HMENU menu = MenuBar())
        CheckMenuItem(menu, IDM_ALWAYS_ON_TOP, MF_BYCOMMAND | (alwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
}
