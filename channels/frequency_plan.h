#pragma once
// Arithmetic of the frequency plan: UHF channel numbers of canaux.ini to centre
// frequencies in kHz, and the rule that falls back to the whole UHF band.
#include <array>
#include <cstdint>
#include <vector>

// Frequency of UHF channel 0 in this plan: 306 MHz plus the 166 kHz offset that
// French multiplexes are centred on. A missing or zero key gives exactly this.
constexpr std::int32_t kPlanBaseKHz = 306166;
constexpr std::int32_t kChannelSpacingKHz = 8000;
constexpr int kFirstUhfChannel = 21;
constexpr int kLastUhfChannel = 69;
constexpr int kCityKeyCount = 6;  // "R1" .. "R6"

// Centre frequency of UHF channel `channel` in kHz (21 -> 474166, 69 -> 858166).
// Absurd channel numbers are clamped to the 32-bit range rather than overflowing.
std::int32_t ChannelToFrequencyKHz(long long channel);

// Channels 21 to 69, 49 frequencies in increasing order.
std::vector<std::int32_t> FullBandFrequencies();

// Appends the frequencies of the six keys R1..R6 (0 for a missing key) to
// `frequencies`; when its first value is then the bare base (no usable R1), the
// list is replaced by the full band.
void AppendCityFrequencies(std::vector<std::int32_t>& frequencies,
                           const std::array<long long, kCityKeyCount>& channels);
