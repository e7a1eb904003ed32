#pragma once
// The "Guide complet" grid's timed recordings: R, or the right-click menu's
// "Enregistrer ce programme", sets a timer on the selected programme (on the
// air or to come), from its start less the margin before to its end plus the
// margin after; the same again ("Ne plus enregistrer ce programme") removes it.
#include <windows.h>

#include <cstdint>
#include <string>

#include "guide/schedule/guide_entry.h"

// Sets or removes the timer of `programme`, shown on channel `channel` (UTF-8);
// a refusal is told in a message box owned by `window`.
void ToggleProgrammeTimer(HWND window, const GuideEntry& programme, const std::string& channel, std::int64_t now);

// The grid's right-click menu at `screen` for `programme` (null: none under the
// cursor). Returns the command chosen (IDM_GRID_RECORD, IDM_GRID_RECORD_OFF), or 0.
int ChooseProgrammeCommand(HWND window, POINT screen, const GuideEntry* programme, std::int64_t now);
