#pragma once
// Any audio track of the current channel, as the "Audio" menu and the viewer's
// preference choose it, beside the three described track commands: a track
// those commands name leaves their state as they would have left it; another
// one is remembered here until the next channel change or track command.
// Window's thread only.
#include <cstdint>

#include "graph/pin_decoders.h"

// The track heard on the current channel and the pin it plays on (0: none).
std::int32_t HeardAudioPid();

// How a choice treats what stands in its way.
enum class ChoiceMode {
    User,       // a refusal (missing decoder, recording) is said in French
    Preference  // a refusal keeps the track heard without a word
};

// Takes the track heard off its pin and maps `pid` on `pin`, which first takes
// `codec` when it carries another one. False when refused or without a graph;
// nothing changes then.
bool SelectAudioTrack(std::int32_t pid, PlayingPin pin, StreamCodec codec, ChoiceMode mode);

// A channel change mapped its first track: nothing else is heard.
void ForgetChosenAudioTrack();

// Ctrl+1, Ctrl+2, Ctrl+3 (`command`) while a track of the menu that none of them
// names is heard: carried out from that track. False when no such track is
// heard, for the described command to run as always.
bool DescribedCommandFromOtherTrack(int command);

// True when the heard track is one the described commands do not name.
bool OtherAudioTrackHeard();
