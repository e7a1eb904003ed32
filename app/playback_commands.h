#pragma once
// Playing a recording ("Lire un enregistrement...") and pausing live
// television (P or Pause), with the playback bar, its keys and its commands.
// One session at a time: a file, or time-shifted television from the pause to
// the return to live. Main window's thread.
#include <windows.h>

// Posted by the time-shift buffer's writer when a write failed; wParam: the error.
constexpr UINT WM_TIMESHIFT_FAILED = WM_APP + 0x48;
constexpr UINT_PTR TIMER_PLAYBACK = 0x4A0;

// "Lire un enregistrement...": asks for the file and plays it.
void PlayRecordingCommand();
// Asks for nothing: plays `path`, or says in French why it cannot.
void PlayRecording(const wchar_t* path);
// P or Pause: on live television, pauses it (time-shift); else pauses or resumes.
void PlaybackPauseCommand();
// "Direct": back to live television, the session ended.
void BackToLiveCommand();
// A key of the main window; true when playback took it (Left/Right with or
// without Ctrl, Home, End, only while a session runs). P, Pause and Ctrl+O are
// in the accelerator table.
bool OnPlaybackKey(WPARAM virtualKey);
void OnPlaybackSeek(WPARAM share);
void OnPlaybackTimer();
void OnTimeShiftFailed(WPARAM error);

bool PlaybackActive();
// Ends the session, the buffer's file deleted and the live picture back: a
// channel change, a recording of another multiplex, closing.
void EndPlayback();
