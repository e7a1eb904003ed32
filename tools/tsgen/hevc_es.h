#pragma once
// HEVC (Main profile) video elementary stream of a plain coloured picture, the
// counterpart of the H.264 one: one slice per picture, 16x16 coding units.
//
// Every GOP starts with an access unit delimiter, the video, sequence and
// picture parameter sets, an SEI naming the stream's PID ("BTVPID=" and its
// digits, which the stand-in decoders show) and an IDR picture: its first
// coding unit is PCM in the service's colour, every other one is intra planar
// with no residual, so the colour spreads over the whole picture. The other
// pictures are P pictures of skipped coding units. Each picture is padded with
// zero bytes to the stream's bit rate.
#include <cstdint>
#include <vector>

#include "tools/tsgen/description.h"
#include "tools/tsgen/video_es.h"

namespace tsgen {

std::vector<std::uint8_t> BuildHevcPicture(const VideoStream& video, std::uint64_t index, PictureColour colour);

}  // namespace tsgen
