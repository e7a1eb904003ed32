#pragma once
// The window modes: normal, compact (only a resizable border) and full screen.
// Each mode keeps what it takes away in its own saved set, so full screen entered
// from compact mode returns to compact mode.
#include <windows.h>

// Enters or leaves full screen over the primary screen; leaving restores the
// outer rectangle the window had, and the mode it came from.
void ToggleFullScreen();
// Enters or leaves compact mode (no menu, caption nor status bar); nothing in
// full screen.
void ToggleDecorations();
