#pragma once
// Construction and teardown of the capture graph.
#include <windows.h>

// A failed build step: shows its message in a box owned by `owner`, if it has one
// (null or empty: the step fails silently), and gives the build's failure result, 1.
int ShowFailure(HWND owner, const wchar_t* message);

// Builds and runs the capture graph around the detected tuner. `window` is the window
// the video is drawn in, and the owner of the failure messages. 0 on success, 1 after
// the message of the failed step (if it has one).
int BuildGraph(HWND window);

// Releases every graph handle (each left null). Safe after a partial build and when
// called twice. Whatever still uses the sections-and-tables filter's streams (the
// guide reader) must have stopped first.
void DestroyGraph();
