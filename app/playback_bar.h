#pragma once
// The playback bar below the picture, shown while a recording or the
// time-shift buffer plays: play/pause, a position slider, the position text and
// "Direct". Its buttons send their WM_COMMAND to the main window; a click on
// the slider posts WM_PLAYBACK_SEEK with the place clicked. Main window's thread.
#include <windows.h>

#include <string>

// wParam: the place clicked on the slider, in ten-thousandths of its length.
constexpr UINT WM_PLAYBACK_SEEK = WM_APP + 0x49;
constexpr int kPlaybackSeekScale = 10000;

void ShowPlaybackBar(HWND owner);
void HidePlaybackBar();
bool PlaybackBarShown();
// Height the bar takes below the picture (0 when hidden).
int PlaybackBarHeight();
// Places the bar at the bottom of `area` (the client area less the status bar).
void LayoutPlaybackBar(const RECT& area);
// The play/pause button's caption follows `paused`; the slider `share` (0 to 1).
void UpdatePlaybackBar(bool paused, double share, const std::wstring& text);
