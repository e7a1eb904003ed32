#pragma once
// The menu bar wherever it is: attached to the main window, or held detached by a
// window mode, so that check marks and states follow the program while it is away.
#include <windows.h>

// Null before the window exists.
HMENU MenuBar();
