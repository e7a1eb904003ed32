#pragma once
// "Guide des programmes" (dialog 107): one list of the present and following
// events kept for every channel, filled when the dialog opens and again on
// "Mettre à jour". It only reads the channels' guide slots.
#include <windows.h>

INT_PTR CALLBACK GuideDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Appends one row per kept event, in channel order (present, then following).
void FillGuideList(HWND list);
