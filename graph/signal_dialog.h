#pragma once
// The "Qualité du signal" dialog: the tuner's statistics, refreshed every 200 ms.
#include <windows.h>

constexpr UINT_PTR TIMER_SIGNAL = 4762;
constexpr UINT kSignalRefreshMs = 200;

INT_PTR CALLBACK SignalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Reads the four statistics; a read that fails leaves its field as it was.
void RefreshSignalDialog(HWND dialog);
