#pragma once
// State of the application shell, owned by the user-interface thread.
#include <windows.h>

#include <cstdint>

extern HWND mainWindow;
extern HINSTANCE instanceHandle;
extern HWND statusBar;  // null while there is no status bar

extern bool recording;
extern bool secondAudioActive;
extern bool ac3Active;
extern bool fullScreen;
extern bool decorationsShown;
extern bool muted;
extern std::int32_t typedNumber;
extern DWORD lastActivationTick;
extern POINT clickPoint;
extern bool scanPending;

// Name of the single-instance mutex and of the main window class.
constexpr wchar_t kInstanceName[] = L"Tovard TV";
constexpr wchar_t kMainWindowTitle[] = L"Brisome TV";

constexpr UINT WM_GUIDE_UPDATED = WM_USER;
constexpr UINT_PTR TIMER_CHANNEL_NUMBER = 123;
constexpr UINT_PTR TIMER_SINGLE_CLICK = 124;
