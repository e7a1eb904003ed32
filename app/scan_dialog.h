#pragma once
// The "Scan des fréquences en cours" dialog: names found so far and a progress
// bar. It has no button and ignores every request to close: only the scan ends it.
#include <windows.h>

#include "channels/scan_driver.h"

INT_PTR CALLBACK ScanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The scan's progress shown in the dialog's controls.
class ScanDialogProgress : public ScanProgress {
public:
    explicit ScanDialogProgress(HWND dialog) : dialog_(dialog) {}
    void SetRange(std::size_t count) override;
    void SetPosition(std::size_t position) override;
    // The broadcast name, decoded as the rest of the program shows it.
    void AddName(const Chaine& channel) override;

private:
    HWND dialog_;
};
