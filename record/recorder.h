#pragma once
// Starting and stopping recordings: a service or the whole multiplex, all fed by
// one walk over the transport-stream tap's packets, each into its own file. The
// graph itself is never stopped or changed for a recording. Several recordings
// may run at once (the recording of the menus, and others started through
// BeginRecording or BeginTimedRecording); while any runs, the PC is kept from
// sleeping. Main window's thread only.
//
// The caller keeps the recording state of the menus: a start returns whether the
// menu's recording now runs.
#include <windows.h>

#include <string>

#include "channels/chaine.h"
#include "record/packet_filter.h"

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
// Stops the menu's recording and closes its file, after the packets being written
// if there are.
void StopRecording();
// Stops every recording. Call it at the end of the program.
void ReleaseRecorder();
// Answers WM_RECORDING_FAILED: stops the recording it concerns (what was written
// is kept) and tells the user. True when that was the menu's recording.
bool OnRecordingFailed(HWND window, WPARAM error, LPARAM serial);

// Any recording: the packets of `selection` to "<name> DD-MM HH-MM-SS.mpg" in
// `folder`, beside the recordings already running. Returns its identifier (the
// lParam of its WM_RECORDING_FAILED), or 0 after telling the user why it could
// not start.
LPARAM BeginRecording(HWND window, const std::wstring& name, const PidSelection& selection, const wchar_t* folder);
// A timed recording: the same to "<stem>.mpg", `stem` being already a safe file
// name (or, when taken, "<stem> (n).mpg"). Tells nobody: returns 0 with
// `failure` (French) when it cannot start.
LPARAM BeginTimedRecording(HWND window, const std::wstring& stem, const PidSelection& selection,
                           const wchar_t* folder, std::wstring& failure);
// The file a running recording writes; empty when it stopped.
std::wstring RecordingPath(LPARAM recording);
// Stops that recording and closes its file; nothing when it already stopped.
void EndRecording(LPARAM recording);
