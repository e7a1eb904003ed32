#pragma once
// The start-up sequence run once the main window shows, and the way out.

// Returns 0 on success.
int StartUp();

// Saves the settings with the current channel, then releases the graph: the way out
// after closing the window as after a failed start-up.
void SaveSettingsAndDestroyGraph();
