#pragma once
// The "Audio" and "Sous-titres" menus of a channel apart from the window: the
// tracks listed, their items and check marks, the pin a track plays on, and how
// the track heard reads in the state of the three described track commands.
#include <cstdint>
#include <string>
#include <vector>

#include "channels/chaine.h"
#include "graph/pin_decoders.h"

// The channel's audio tracks as the menu lists them: every stream of its
// programme map, or, for a channel file that does not list them, its first,
// second and AC-3 tracks (without language: "Piste 1"...).
ServiceStreams ListedStreams(const Chaine& channel);

// The demultiplexer's pin a track plays on and the codec that pin must carry:
// MPEG audio and AAC on the sound pin, AC-3 and E-AC-3 on the AC-3 pin.
struct TrackRoute {
    PlayingPin pin;
    StreamCodec codec;
};
TrackRoute RouteOf(AudioCodec codec);

// Which audio track is heard, in the terms of the described commands: the second
// track, the AC-3 track, or else the first, unless another track the menu chose
// (`otherPid`, nonzero) is heard on `otherPin`.
struct HeardTrack {
    bool second = false;
    bool ac3 = false;
    std::int32_t otherPid = 0;
    PlayingPin otherPin = PlayingPin::Audio;
};
// The state after the track `pid` was mapped on `pin`.
HeardTrack HeardAfterChoice(const Chaine& channel, std::int32_t pid, PlayingPin pin);
std::int32_t HeardPid(const Chaine& channel, const HeardTrack& heard);
PlayingPin HeardPin(const HeardTrack& heard);

struct TrackMenuItem {
    unsigned id;
    std::wstring text;
    bool checked;
    bool enabled;
};
// One item per track (ids from 40060), the one heard checked; a greyed
// "Aucune piste" when the channel lists none.
std::vector<TrackMenuItem> AudioMenuItems(const ServiceStreams& streams, std::int32_t heardPid);
// "Aucun" (40068), then one item per track (ids from 40069); `shown` is the
// track on screen, -1 for none.
std::vector<TrackMenuItem> SubtitleMenuItems(const ServiceStreams& streams, int shown);
