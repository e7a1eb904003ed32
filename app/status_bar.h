#pragma once
// The status bar of the main window: five parts, channel name and now/next events.

constexpr int ID_STATUSBAR = 41234;

// Creates the status bar, lays it out and, when a channel is current, fills it.
void CreateStatusBar();
// Sets the five right edges from the status bar's current width.
void LayoutStatusBar();
// Fills the five parts for the current channel (when the status bar exists).
void ShowChannelInfo();
