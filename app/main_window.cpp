#include "app/main_window.h"

#include "app/priority.h"
#include "app/shell_state.h"
#include "app/status_bar.h"
#include "config/settings.h"
#include "graph/graph.h"
#include "resources/resource_ids.h"

namespace {

void CloseProgram()
{
    DestroyGraph();
    DestroyWindow(mainWindow);
}

void ChangePriority(int command)
{
    SetPriority(command);
    SaveSettings();
}

void OnCommand(int id)
{
    switch (id) {
    case IDM_QUIT: CloseProgram(); break;
    case IDM_PRIORITY_HIGH:
    case IDM_PRIORITY_ABOVE:
    case IDM_PRIORITY_NORMAL:
    case IDM_PRIORITY_BELOW: ChangePriority(id); break;
    default: break;  // channel items and the commands of later subsystems
    }
}

void OnSize(WPARAM wParam, LPARAM lParam)
{
    if (statusBar) {
        SendMessageW(statusBar, WM_SIZE, wParam, lParam);
        LayoutStatusBar();
    }
}

bool IsRefusedSystemCommand(WPARAM wParam)
{
    const WPARAM command = wParam & 0xFFF0;
    return command == SC_SCREENSAVE || command == SC_MONITORPOWER;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        mainWindow = window;
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        OnSize(wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        lastActivationTick = GetTickCount();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_CLOSE:
        CloseProgram();
        return 0;
    case WM_KEYDOWN:
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_SYSCOMMAND:
        // The picture must stay on: refuse the screen saver and monitor power-off.
        if (IsRefusedSystemCommand(wParam))
            return 0;
        break;
    case WM_TIMER:
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
