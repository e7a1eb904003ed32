#pragma once
// The configuration's second page, "Codecs HD...": the decoders of today's codecs
// (H.264, HEVC, AAC, E-AC-3). Each is saved once chosen; a codec left without a
// choice is decoded by whatever the graph finds.
#include <windows.h>

INT_PTR CALLBACK ModernCodecsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the page modally over `owner`; on OK the choices are saved at once.
void RunModernCodecsDialog(HWND owner);
