#pragma once
// MPEG-2 video elementary stream of a plain coloured picture: a real,
// decodable stream (sequence header with the stream's size, aspect ratio and
// frame rate, GOP and picture headers, slices) that costs few bits.
#include <cstdint>
#include <vector>

#include "tools/tsgen/description.h"

namespace tsgen {

struct FrameRate {
    std::uint32_t numerator;
    std::uint32_t denominator;
};

// The frame rate of an MPEG-2 frame_rate_code (1 to 8).
FrameRate FrameRateOfCode(int frameRateCode);

// Pictures between two I pictures (and sequence headers): about half a second.
int GopLength(const VideoStream& video);

// Pads a coded picture with zero bytes to one picture period's share of the
// stream's bit rate. Zero bytes before the next start code are stuffing to every
// decoder of these codings (trailing_zero_8bits after an H.264 or HEVC NAL unit).
void PadToPictureShare(std::vector<std::uint8_t>& picture, const VideoStream& video);

struct PictureColour {
    std::uint8_t y = 128;
    std::uint8_t cb = 128;
    std::uint8_t cr = 128;
};

// A distinct flat colour per service, so that pictures tell services apart.
PictureColour ColourOf(std::uint16_t sid);

// Coded picture `index` of the stream, in decoding order (equal to display
// order: there are no B pictures). Every GOP starts with a sequence header,
// its extension, a closed GOP header and an I picture of uniform colour; the
// other pictures are P pictures that repeat it. Each picture is padded with
// zero stuffing to the stream's bit rate.
std::vector<std::uint8_t> BuildVideoPicture(const VideoStream& video, std::uint64_t index, PictureColour colour);

}  // namespace tsgen
