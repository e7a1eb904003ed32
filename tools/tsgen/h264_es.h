#pragma once
// H.264 video elementary stream of a plain coloured picture, as cheap as the
// MPEG-2 one: Constrained Baseline, CAVLC, one slice per picture.
//
// Every GOP starts with an access unit delimiter, the sequence and picture
// parameter sets, an SEI naming the stream's PID ("BTVPID=" and its digits,
// which the stand-in decoders show) and an IDR picture: its first macroblock
// is I_PCM in the service's colour, every other one is Intra 16x16 DC with no
// residual, so the colour spreads over the whole picture. The other pictures
// are P pictures of skipped macroblocks. Each picture is padded with zero bytes
// to the stream's bit rate.
#include <cstdint>
#include <vector>

#include "tools/tsgen/description.h"
#include "tools/tsgen/video_es.h"

namespace tsgen {

std::vector<std::uint8_t> BuildH264Picture(const VideoStream& video, std::uint64_t index, PictureColour colour);

}  // namespace tsgen
