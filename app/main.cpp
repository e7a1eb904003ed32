// Entry point: single instance, main window, start-up, message loop, shutdown.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/main_window.h"
#include "app/now_playing.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/video_placement.h"
#include "config/settings.h"
#include "resources/resource_ids.h"

namespace {

bool RegisterMainClass()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;  // double clicks toggle full screen
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instanceHandle;
    wc.hIcon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(IDI_MAIN));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 0));
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINMENU);
    wc.lpszClassName = kInstanceName;
    return RegisterClassExW(&wc) != 0;
}

int RunMessageLoop(HACCEL accelerators)
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(mainWindow, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    instanceHandle = instance;

    // Held for the life of the process; a second copy leaves silently.
    CreateMutexW(nullptr, TRUE, kInstanceName);
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    if (!RegisterMainClass())
        return 0;

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    HWND window = CreateWindowExW(0, kInstanceName, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 800, 650, nullptr, nullptr, instance, nullptr);
    if (!window) {
        CoUninitialize();
        return 0;
    }

    CreateStatusBar();
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    if (const int failure = StartUp(); failure != 0) {
        // "Annuler" means nothing changes, config.ini included.
        ShutDownGraph(failure != kStartUpCancelled);
        return -1;
    }

    PlaceVideo();

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    const int code = RunMessageLoop(accelerators);

    if (announceNowPlaying)
        ClearNowPlaying();

    DestroyAcceleratorTable(accelerators);
    CoUninitialize();
    return code;
}
