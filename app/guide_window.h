#pragma once
// "Guide complet" (dialog 121, Ctrl+G): the whole schedule the guide holds as a
// grid of channels and times, the selected programme's details, a search over
// titles and descriptions, and the XMLTV export. Modal; watching a current
// programme from it changes the channel behind it.
#include <windows.h>

void ShowGuideWindow(HWND owner);
