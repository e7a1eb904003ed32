#pragma once
// Carries out the program's timers: once the channel list and the graph are
// ready, settles what happened while the program was closed, then waits for
// the next decision of the scheduler with one window timer (re-armed whenever
// the book changes), tunes and starts a service recording per timer, follows an
// overrunning programme through the guide and stops each recording in time.
// A waitable timer with resume wakes a sleeping PC shortly before the next
// start. Main window's thread only.
#include <windows.h>

// Posted to the main window when the runner has something to tell the user
// (too little room, a file that could not be created, a channel gone): the
// window calls ShowTimerRunnerNotices.
constexpr UINT WM_TIMER_RUNNER_NOTICE = WM_APP + 0x44;

void StartTimerRunner(HWND window);
// Leaves the timers that record as they are ("En cours" in the store), so that
// the next start resumes them into new files; their files are closed with the
// recorder's.
void StopTimerRunner();

// Whether a timer's recording runs: it holds the tuner on its multiplex.
bool TimerRecordingsRun();

// WM_RECORDING_FAILED before the recorder answers it: when `serial` is a
// timer's recording, that timer alone ends as failed, with the reason.
void NoteTimerRecordingFailure(WPARAM error, LPARAM serial);

// The PC's clock was set, or the PC woke up: the wait is computed again.
void TimerRunnerClockChanged();

// The guide reader stored new events of the current channel: a recording kept
// on past its planned end because its programme was still on the air is looked
// at again at once, so that it stops when the programme leaves the air rather
// than at the next regular look.
void TimerRunnerGuideChanged();

// WM_TIMER_RUNNER_NOTICE.
void ShowTimerRunnerNotices();
