#pragma once
// Snapshots: the picture being shown, saved as a bitmap file
// "<name> DD-MM HH-MM-SS.bmp" in `folder`. Main window's thread only. Every
// failure (no picture, no file) is told to the user in a message owned by `window`.
#include <windows.h>

#include "channels/chaine.h"

// `channel` may be null (no channel selected yet): the file is named by the date.
// Returns whether a file was written.
bool TakeSnapshot(HWND window, const Chaine* channel, const wchar_t* folder);
