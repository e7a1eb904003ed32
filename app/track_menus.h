#pragma once
// The "Audio" and "Sous-titres" pop-ups of "Commandes" and the S key: every audio
// track of the current channel, checked on the one heard, and "Aucun" with every
// subtitle track, checked on the one shown. The viewer's preferences choose both
// at each channel change. Window's thread only.

// After a channel change (its first track mapped): applies the preferences where
// the channel offers them and makes both pop-ups again.
void OnChannelTracksChanged();

// The menus' commands (40060 to 40077); false for any other command.
bool OnTrackCommand(int id);

// Makes both pop-ups again for what is heard and shown now, wherever the menu bar
// is (attached, or held by compact or full-screen mode).
void UpdateTrackMenus();
