#pragma once
// The start-up sequence run once the main window shows, and the way out.

// The user cancelled the configuration dialog that start-up opened: nothing of
// the settings is to be written on the way out. Negative, so that no step's own
// failure code can be taken for it.
constexpr int kStartUpCancelled = -2;

// Returns 0 on success, kStartUpCancelled or another non-zero code on failure.
int StartUp();

// The way out, after closing the window as after a failed start-up: saves the
// settings with the current channel unless told not to, stops the guide reader,
// releases the graph, then closes any recording.
void ShutDownGraph(bool saveSettings);
