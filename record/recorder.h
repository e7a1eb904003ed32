#pragma once
// Starting and stopping recordings: a service or the whole multiplex, written by a
// CSampleGrabber installed on the graph's sample grabber. The graph itself is never
// stopped or changed for a recording. Main window's thread only.
//
// The caller keeps the recording state (and the menus that follow it): a start
// returns whether a recording now runs.
#include <windows.h>

#include "channels/chaine.h"

// Posted to the main window by the streaming thread when a write fails; wParam is
// the error code, lParam identifies the recording. Handle it with OnRecordingFailed.
constexpr UINT WM_RECORDING_FAILED = WM_APP + 0x13;

// Records `channel` (its PAT, PMT, video, the audio of the track being heard and its
// clock reference PID) to "<name> DD-MM HH-MM-SS.mpg" in `folder`. When the file
// cannot be created or the graph has no grabber, says why to the user (a message
// owned by `window`) and returns false.
bool StartServiceRecording(HWND window, const Chaine& channel, bool secondAudioActive, bool ac3Active,
                           const wchar_t* folder);
// Records every packet but the null ones to "Transport Stream DD-MM HH-MM-SS.mpg".
bool StartMultiplexRecording(HWND window, const wchar_t* folder);
// Takes the callback off the grabber and closes the file, after the sample being
// written if one is.
void StopRecording();
// Stops any recording and lets go of the last callback. Call it once the graph is
// stopped (at the end of the program).
void ReleaseRecorder();
// Answers WM_RECORDING_FAILED: when it concerns the running recording, stops it
// (what was written is kept), tells the user, and returns true.
bool OnRecordingFailed(HWND window, WPARAM error, LPARAM serial);
