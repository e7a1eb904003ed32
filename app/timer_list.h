#pragma once
// "Enregistrements programmés" (dialog 124, Ctrl+R): the program's timers in
// order of their start, with their state as the runner leaves it; new timers
// by hand, changes, removals. Modal; the list follows the book while it shows.
#include <windows.h>

void ShowTimerList(HWND owner);
