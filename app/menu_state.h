#pragma once
// Menu states that follow the recording and the audio track.

// Greys the record commands while recording (and "Stopper l'enregistrement" when
// not), then sets `recording`.
void SetRecordingState(bool on);
// Enables, greys or checks the three audio-track items for the current channel.
void UpdateAudioTrackMenu();
