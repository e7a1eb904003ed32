#pragma once
// The channel scan run at start-up when there is no usable channel file.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "channels/chaine.h"

// Set while the scan dialog is up and its scan has not ended.
extern bool scanPending;
// A close request came while a scan ran: the scan was cut short for it, and what
// follows the scan is to give way to the program's end.
extern bool scanCloseRequested;

// Scans the configured city's frequencies into `list` (the first NIT met into
// `nit`, unless it holds one) in dialog `dialogId`. True when the scan ran to its
// end; false when it was cancelled or cut short by a close request.
bool ScanInDialog(int dialogId, ChannelList& list, std::vector<std::uint8_t>& nit);

// A close request during a scan: the scan is cut short, its list dropped.
void CloseDuringScan();

// Opens the scan dialog, scans the city's frequencies, then numbers, filters and
// sorts the channels found when a NIT came, and saves them to chaines.xml. An
// earlier chaines.xml that could not be read is kept as chaines.xml.illisible.
// Returns 0 when channels were saved, 1 when none was found or all were dropped,
// or when the scan was cut short (the program's end came through the dialog):
// then nothing is written, so the next start scans again.
int RunScan();

// The main window's idle notice from the scan dialog (`dialog`): starts the scan's
// thread once per dialog.
void OnScanDialogIdle(HWND dialog);

