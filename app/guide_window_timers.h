#pragma once
// The "Guide complet" grid's timed recordings: R, or the right-click menu's
// "Enregistrer ce programme", sets a timer on the selected programme (on the
// air or to come), from its start less the margin before to its end plus the
// margin after; the same again ("Ne plus enregistrer ce programme") removes it.
// A refusal (a programme over, a conflict) is told in a message box.
#include <windows.h>

struct GuideGridModel;

// R on the grid: the selected programme's timer set or removed.
void RecordGridSelection(HWND dialog, GuideGridModel& model);

// WM_CONTEXTMENU from the grid (`lParam` as the message gives it): the menu for
// the selected programme, which the right click has just selected.
void ShowGridRecordMenu(HWND dialog, GuideGridModel& model, LPARAM lParam);
