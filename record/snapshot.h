#pragma once
// Snapshots: the picture being shown, saved as a bitmap file
// "<name> DD-MM HH-MM-SS.bmp" in `folder`. Main window's thread only. Every
// failure (no picture, no file) is told to the user in a message owned by `window`.
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "channels/chaine.h"

// `channel` may be null (no channel selected yet): the file is named by the date.
// Returns whether a file was written.
bool TakeSnapshot(HWND window, const Chaine* channel, const wchar_t* folder);

// The same for a picture the caller holds (a packed bitmap as the renderer hands
// it out, `size` bytes readable): the still that stands for the picture while it
// is paused. A null `image` means no picture is shown.
bool SaveSnapshot(HWND window, const Chaine* channel, const wchar_t* folder, const std::uint8_t* image,
                  std::size_t size);
