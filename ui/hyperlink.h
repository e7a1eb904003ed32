#pragma once
// Turns a static text control into a clickable link: blue text, the hand cursor,
// underlined while the mouse is over it, a command to its parent when clicked.
// All state lives in window properties of the control and its parent, removed
// again when either is destroyed, so any static control can be converted.
#include <windows.h>

// Converts `control`; a parent holding several links is subclassed once.
bool MakeHyperlink(HWND control);
bool MakeDialogItemHyperlink(HWND dialog, int controlId);

// The link colour: red 0, green 0, blue 192.
constexpr COLORREF kHyperlinkColour = 0xC00000;
