#include "channels/frequency_plan.h"

#include <algorithm>
#include <climits>

std::int32_t ChannelToFrequencyKHz(long long channel)
{
    // Channel numbers come from a user's file; keep the product inside 64 bits first.
    channel = std::clamp(channel, static_cast<long long>(INT32_MIN), static_cast<long long>(INT32_MAX));
    const long long khz = channel * kChannelSpacingKHz + kPlanBaseKHz;
    return static_cast<std::int32_t>(std::clamp(khz, static_cast<long long>(INT32_MIN),
                                                static_cast<long long>(INT32_MAX)));
}

std::vector<std::int32_t> FullBandFrequencies()
{
    std::vector<std::int32_t> band;
    for (int channel = kFirstUhfChannel; channel <= kLastUhfChannel; ++channel)
        band.push_back(ChannelToFrequencyKHz(channel));
    return band;
}

void AppendCityFrequencies(std::vector<std::int32_t>& frequencies,
                           const std::array<long long, kCityKeyCount>& channels)
{
    for (long long channel : channels)
        frequencies.push_back(ChannelToFrequencyKHz(channel));
    // An unknown city reads as six zeros; so does a city without R1. Either way the
    // scan must not visit 306 MHz six times but the whole band.
    if (frequencies.front() == kPlanBaseKHz)
        frequencies = FullBandFrequencies();
}
