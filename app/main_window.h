#pragma once
#include <windows.h>

// Window procedure of the main window: a short dispatch of every message and command.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
