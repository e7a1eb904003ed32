#pragma once
// The "Configuration" dialog: the city whose frequencies a scan covers, the tuner and
// receiver devices and the three decoders, saved in the settings on OK.
#include <windows.h>

// How the dialog ended; its dialog result.
enum ConfigResult : INT_PTR {
    kConfigCancelled = 0,           // Annuler, Escape or the close box: nothing changed
    kConfigConfirmed = 1,           // OK with no tuner chosen (the tuner list is empty)
    kConfigConfirmedWithTuner = 2,  // OK with a tuner chosen
};

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Selects the entry of a list that shows the stored name; a name the list lacks
// leaves it without a selection.
void SelectStored(HWND dialog, int comboId, const wchar_t* stored);
// Copies the selected entry into its setting (kNameCapacity units), cut to what the
// setting holds. False when the list has no selection: the setting stays as it was.
bool TakeSelection(HWND dialog, int comboId, wchar_t* setting);

// Opens the dialog modally over the main window.
ConfigResult RunConfigDialog();
