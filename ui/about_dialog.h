#pragma once
// The "A propos" box: the product line and a link to the project's web page.
#include <windows.h>

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
