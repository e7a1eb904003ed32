#pragma once
// The audio track of the current channel and the sound's mute.

// "Première piste audio", "Seconde piste audio", "Piste AC3": each does nothing when
// the menu does not offer it in the current state, whichever way it arrives.
void SelectFirstAudioTrack();
void SelectSecondAudioTrack();
void SelectAc3Track();
// Silences both sound renderers, or gives them back their full volume.
void ToggleMute();
