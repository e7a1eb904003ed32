#pragma once
// States of the three audio-track items for the current channel and track flags.
#include <cstdint>

enum class ItemState { Enabled, Grey, CheckedGrey };

struct AudioTrackMenu {
    ItemState firstTrack;   // "Première piste audio"
    ItemState secondTrack;  // "Seconde piste audio"
    ItemState ac3Track;     // "Piste AC3"
};

AudioTrackMenu AudioTrackMenuStates(bool ac3Active, bool secondAudioActive, std::int32_t son2, std::int32_t ac3);

// A track command is carried out only where its item is offered (enabled): the
// menu's greyed moves are refused also when they come by accelerator.
constexpr bool IsOffered(ItemState state) { return state == ItemState::Enabled; }
