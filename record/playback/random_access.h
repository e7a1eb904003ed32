#pragma once
// Where a decoder can start after a seek. A picture can only be decoded from an
// intra-coded one that the pictures after it do not predict across, announced
// by the stream headers that come with it: an MPEG-2 sequence header or group
// of pictures, an H.264 IDR picture or sequence parameter set (French
// broadcasters repeat the SPS before every I picture but rarely send IDRs), an
// HEVC IRAP picture or its parameter sets. The adaptation field's
// random_access_indicator marks the same place, when the multiplexer sets it.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "record/playback/byte_source.h"
#include "record/playback/ts_probe.h"

enum class VideoCoding { Unknown, Mpeg2, H264, Hevc };

// Whether the packet (188 bytes) of `pid` begins a random-access point. With an
// unknown coding only the random_access_indicator counts.
bool IsRandomAccessPacket(const std::uint8_t* packet, std::uint16_t pid, VideoCoding coding);

// The offset of the first random-access packet of `pid` at or after `from`,
// looking at most `limit` bytes on.
std::optional<std::uint64_t> FindRandomAccessPoint(ByteSource& source, const TsProbe& probe, std::uint64_t from,
                                                   std::uint16_t pid, VideoCoding coding, std::uint64_t limit);
