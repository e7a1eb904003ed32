#pragma once
// State of the application shell, owned by the user-interface thread.
#include <windows.h>

#include <cstdint>

extern HWND mainWindow;
extern HINSTANCE instanceHandle;
extern HWND statusBar;  // null while there is no status bar

// Position of the current channel in Chaines, -1 before the first selection.
extern std::int32_t currentChannel;
extern bool recording;
extern bool secondAudioActive;
extern bool ac3Active;
extern std::int32_t typedNumber;  // channel number being typed, 0: none
extern bool fullScreen;
extern bool decorationsShown;  // menu, caption and status bar (false: compact mode)
// The menu bar while a mode holds it detached (null when none does): compact
// mode's, and full screen's when entered from normal mode.
extern HMENU heldCompactMenu;
extern HMENU heldFullScreenMenu;
// Tick count of the last focus gain or context-menu close, for click detection.
extern DWORD lastActivationTick;

// Name of the single-instance mutex and of the main window class.
constexpr wchar_t kInstanceName[] = L"Tovard TV";
constexpr wchar_t kMainWindowTitle[] = L"Brisome TV";

constexpr UINT_PTR TIMER_CHANNEL_NUMBER = 123;
constexpr UINT_PTR TIMER_SINGLE_CLICK = 124;
