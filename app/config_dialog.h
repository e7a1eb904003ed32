#pragma once
// The "Configuration" dialog: the city whose frequencies a scan covers, the tuner and
// receiver devices and the three decoders, with the decoders of its "Codecs HD..."
// page, saved in the settings on OK.
#include <windows.h>

// How the dialog ended; its dialog result.
enum ConfigResult : INT_PTR {
    kConfigCancelled = 0,           // Annuler, Escape or the close box: nothing changed
    kConfigConfirmed = 1,           // OK with no tuner chosen (the tuner list is empty)
    kConfigConfirmedWithTuner = 2,  // OK with a tuner chosen
};

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the dialog modally over the main window.
ConfigResult RunConfigDialog();
