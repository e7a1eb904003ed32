#pragma once
// The shell's folder browser, for the recording and snapshot folders.
#include <windows.h>

#include <cstddef>

// Opens the browser owned by `window`, rooted at the desktop, file-system folders
// only, starting at the folder `target` holds. On a confirmed choice the path is
// written into `target` (of `capacity` characters) and true returned; a cancel, or
// a path that does not fit, leaves `target` unchanged.
bool ChooseFolder(HWND window, wchar_t* target, std::size_t capacity, const wchar_t* title);
