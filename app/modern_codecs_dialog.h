#pragma once
// The configuration's second page, "Codecs HD...": the decoders of today's codecs
// (H.264, HEVC, AAC, E-AC-3). A codec left without a choice is decoded by whatever
// the graph finds.
#include <windows.h>

#include "config/settings.h"

// The page's names, in its lists' order. The page edits a copy held by the
// configuration dialog, which puts it into the settings only on its own OK: the
// page's OK alone saves nothing.
struct ModernCodecNames {
    wchar_t names[4][kNameCapacity];
};

// The names as the settings hold them now.
ModernCodecNames CurrentModernCodecNames();
// Puts the names into the settings (not into the file).
void ApplyModernCodecNames(const ModernCodecNames& chosen);

INT_PTR CALLBACK ModernCodecsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the page modally over `owner`, showing `names`; its OK copies the lists'
// selections into `names` (a list without one leaves its name as it was).
void RunModernCodecsDialog(HWND owner, ModernCodecNames& names);
