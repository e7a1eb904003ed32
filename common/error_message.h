#pragma once
// The one error-message operation of the program.
#include <windows.h>

// Modal message box owned by `owner` (null: no owner): the text, the error icon, an
// OK button, and no caption of our own, so the platform's default one shows.
void ShowError(HWND owner, const wchar_t* text);
