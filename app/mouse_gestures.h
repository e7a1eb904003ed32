#pragma once
// The mouse on the picture: a click shows or hides the decorations, a double
// click switches full screen, pressing and moving drags the window.
#include <windows.h>

void OnLeftButtonDown(LPARAM position);
void OnLeftButtonUp(LPARAM position);
void OnLeftDoubleClick();
// The double-click time has passed since a click: it was a single click.
void OnSingleClickTimer();
// Every mouse move: moves the window while the left button is held.
void DragWindow(WPARAM keyState, LPARAM position);
