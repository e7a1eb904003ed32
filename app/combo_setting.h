#pragma once
// A drop-down list of a dialog that shows one name setting: selecting the stored
// name, and taking the chosen one back.
#include <windows.h>

// Selects the entry of a list that shows the stored name; an empty name, or one
// the list lacks, leaves it without a selection.
void SelectStored(HWND dialog, int comboId, const wchar_t* stored);
// Copies the selected entry into its setting (kNameCapacity units), cut to what the
// setting holds. False when the list has no selection: the setting stays as it was.
bool TakeSelection(HWND dialog, int comboId, wchar_t* setting);
