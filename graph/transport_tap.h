#pragma once
// The grabber's callback that feeds the process-wide transport-stream tap: one
// callback for the graph's whole life, whatever subscribes to the stream (the
// section reader always, recordings while they run).
#include <windows.h>
#include <qedit.h>

// Installs the callback on `grabber` and subscribes the section reader. False
// when the grabber refuses the callback: nothing then reaches the tap.
bool InstallTransportTap(ISampleGrabber* grabber);
// Takes the callback off `grabber` (null allowed), unsubscribes the section
// reader and drops what the tap carried over. Samples that still arrive feed
// nothing.
void RemoveTransportTap(ISampleGrabber* grabber);
// Whether the grabber took the callback and the stream reaches the tap.
bool TransportTapInstalled();
// The stream is cut (a retune): the tap and the section reader forget the
// packet and the sections they were putting together.
void ResetTransportTap();
