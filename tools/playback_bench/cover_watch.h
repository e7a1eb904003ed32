#pragma once
// The still the program puts over the picture on a pause, watched from the
// bench's own process: its window is a child of the main window, and whether it
// is shown and has painted (no update region left) can be asked from outside,
// with no read of the picture, so at a millisecond's resolution.
#include <windows.h>

// The cover window, or null while the program has not created it yet.
HWND FindCover(HWND window);
// Shown, and its paint done.
bool CoverPainted(HWND cover);

// From `start` to the first poll that finds the cover shown and painted,
// polling about every millisecond; -1 after `limitMs`. `gapMs` is the time
// between that poll and the one before it, which did not see it yet: the
// figure's resolution.
double WaitForCover(HWND window, const LARGE_INTEGER& start, double limitMs, double& gapMs);
