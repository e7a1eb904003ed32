#pragma once
// What the program's window shows, read through the probe inside the program.
#include <windows.h>

#include <cstdint>
#include <string>

#include "program_driver.h"

// Whether some point of the upper part of the picture shows `colour` (0x00RRGGBB).
bool ShowsColour(const WindowPicture& picture, std::uint32_t colour);

// Waits until some point of the upper part of the window's picture shows `colour`
// (0x00RRGGBB). Saves the last picture read as `screenshot` in the folder
// "screenshots" beside the test executable, as an opaque 24-bit bitmap.
bool WaitForPicture(HWND window, const std::wstring& workDir, std::uint32_t colour, DWORD timeoutMs,
                    const wchar_t* screenshot);

// Saves `picture` as `screenshot` in that same folder.
void SaveScreenshot(const WindowPicture& picture, const wchar_t* screenshot);
