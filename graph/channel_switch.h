#pragma once
// What a channel change has to do, decided from the channel list alone.
#include <cstdint>
#include <optional>

#include "channels/chaine.h"

struct ChannelSwitch {
    bool retune;                // the new channel is on another multiplex (or none was tuned yet)
    std::uint32_t frequency;    // kHz, for the retune
    std::int32_t videoPid;      // always mapped, even 0
    std::int32_t audioPid;      // 0: the audio pin is left without a PID
    // Codecs the pins must carry: the video one always, the audio one with an audio
    // PID, the AC-3 pin's when the channel has such a track (none: left as it is).
    StreamCodec videoCodec;
    std::optional<StreamCodec> audioCodec;
    std::optional<StreamCodec> ac3Codec;
    std::int32_t ac3Pid = 0;    // the AC-3 pin's stream, 0 when the channel has none
};

// Nothing to do (nullopt) when `index` is already the current channel.
// `index` must name a record of `list`; `current` is -1 before the first selection.
std::optional<ChannelSwitch> PlanChannelSwitch(const ChannelList& list, std::int32_t current, std::int32_t index);

// The channel a typed number selects: the first in list order with that Numero.
// While recording, only when it lies on the multiplex being recorded (no later
// channel with the same number is tried). -1: nothing to select.
std::int32_t ChannelForTypedNumber(const ChannelList& list, std::int32_t number, bool recording,
                                   std::int32_t current);
