#pragma once
// The "Scan des fréquences en cours" dialog: names found so far and a progress
// bar. The first start's dialog has no button and ignores every request to close:
// only the scan (or the program's end) ends it. The dialog of a new scan asked
// for from the menu has "Annuler", which ends it with the scan cut short. The scan runs on its own thread (scan_worker.h); the dialog shows its
// reports and answers its requests for the tuner.
#include <windows.h>

#include "app/scan_worker.h"
#include "channels/scan_driver.h"

// The dialog's creation parameter is the ScanWorker that will scan for it.
INT_PTR CALLBACK ScanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The worker given to `dialog` when it was made.
ScanWorker* ScanDialogWorker(HWND dialog);

// The scan's thread has ended (or could not start): the dialog closes, and
// RunScan takes the list.
void EndScanDialog(HWND dialog);

// Cuts the scan short: the thread is told to stop and waited for, then the
// dialog closes. The list it was filling is then incomplete.
void CancelScanDialog(HWND dialog);

// The scan dialog up now, or null.
HWND OpenScanDialog();

// The scan's progress, queued by the worker for the dialog's thread.
class QueuedScanProgress : public ScanProgress {
public:
    explicit QueuedScanProgress(ScanWorker& worker) : worker_(worker) {}
    void SetRange(std::size_t count) override;
    void SetPosition(std::size_t position) override;
    // The broadcast name, decoded as the rest of the program shows it.
    void AddName(const Chaine& channel) override;

private:
    ScanWorker& worker_;
};
