#pragma once
// The program's own window classes, registered on first use.
#include <windows.h>

// Registers `name` with `procedure` in the program's module unless it already
// is; true when the class can be used. `cursor` and `background` may be null
// (no class cursor, a procedure that paints its whole area).
bool RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, HCURSOR cursor = nullptr,
                             HBRUSH background = nullptr);
