#pragma once
// PES packets carrying one access unit each, with a presentation time stamp.
#include <cstdint>
#include <vector>

namespace tsgen {

inline constexpr std::uint8_t kStreamIdPrivate1 = 0xBD;  // AC-3 in DVB
inline constexpr std::uint8_t kStreamIdAudio = 0xC0;     // MPEG audio, 0xC0 to 0xDF
inline constexpr std::uint8_t kStreamIdVideo = 0xE0;

// `pts` is in 90 kHz units (33 bits are kept). A payload too long for the
// 16-bit PES_packet_length, which only video may have, is sent with length 0.
std::vector<std::uint8_t> BuildPes(std::uint8_t streamId, std::uint64_t pts, const std::vector<std::uint8_t>& payload);

}  // namespace tsgen
