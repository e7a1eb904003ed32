#pragma once
// The right-click menu: the "Programme" commands and the channels.
#include <windows.h>

// Shows the menu at the screen position of a WM_CONTEXTMENU; the choice comes
// back as an ordinary WM_COMMAND.
void ShowContextMenu(LPARAM position);
