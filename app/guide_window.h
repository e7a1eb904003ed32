#pragma once
// "Guide complet" (dialog 121, Ctrl+G): the whole schedule the guide holds as a
// grid of channels and times, the selected programme's details, a search over
// titles and descriptions, and the XMLTV export. Modal; watching a programme on
// the air from it changes the channel and closes it.
#include <windows.h>

void ShowGuideWindow(HWND owner);
