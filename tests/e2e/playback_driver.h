#pragma once
// Driving playback as a user does: the open-file dialog of "Lire un
// enregistrement...", and the playback bar's position text.
#include <windows.h>

#include <string>

#include "program_driver.h"

// The slider's click, as the bar posts it to the main window: wParam is the
// place in ten-thousandths of the time line.
constexpr UINT kPlaybackSeekMessage = WM_APP + 0x49;
constexpr int kPlaybackSeekScale = 10000;

// Chooses `path` in the program's open-file dialog; false when the dialog did
// not come or did not close.
bool OpenThroughDialog(const Program& program, HWND window, const std::wstring& path);

bool PlaybackBarShown(HWND window);
// "00:12:34 / 01:05:00" or "-00:05:12"; empty without the bar.
std::wstring PlaybackBarText(HWND window);
// "hh:mm:ss" at `at` of `text` as seconds, -1 when it is not there.
int ClockSeconds(const std::wstring& text, size_t at);
