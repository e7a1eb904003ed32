#include "graph/channel_switch.h"

std::optional<ChannelSwitch> PlanChannelSwitch(const ChannelList& list, std::int32_t current, std::int32_t index)
{
    if (index == current)
        return std::nullopt;
    const Chaine& next = list[static_cast<std::size_t>(index)];
    const bool retune = current < 0 || list[static_cast<std::size_t>(current)].Frequence != next.Frequence;
    ChannelSwitch plan{retune, static_cast<std::uint32_t>(next.Frequence), next.Video, next.Son1, next.VideoCodec,
                       std::nullopt, std::nullopt};
    if (next.Son1 != 0)
        plan.audioCodec = next.Son1Codec;
    if (next.Ac3 > 0) {
        plan.ac3Codec = next.Ac3Codec;
        plan.ac3Pid = next.Ac3;
    }
    return plan;
}

std::int32_t ChannelForTypedNumber(const ChannelList& list, std::int32_t number, bool recording,
                                   std::int32_t current)
{
    const int found = FindByNumero(list, number);
    if (found < 0)
        return -1;
    if (recording) {
        if (!IsValidChannelIndex(list, current))
            return -1;
        if (list[static_cast<std::size_t>(found)].Frequence != list[static_cast<std::size_t>(current)].Frequence)
            return -1;
    }
    return found;
}
