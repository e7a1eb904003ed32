#pragma once
// Tells the messaging client ("MsnMsgrUIManager" window) which programme is on.

// Announces the current channel and programme when announcing is on, the
// channel's current programme is known and the client runs.
void SendNowPlaying();
// Empties the client's announcement when the client runs.
void ClearNowPlaying();
// Checks "Affiche le nom de l'émission sous MSN" exactly when announcing is on.
void UpdateNowPlayingMenu();
// The menu command: switches announcing and its check mark; switched off, empties
// the client at once. Returns whether announcing is now on: the caller then shows
// the channel's information again (ShowChannelInfo), which announces it.
bool ToggleNowPlaying();
