#pragma once
// Where a seek inside the time-shift buffer starts playing. As in a file, the
// picture can only start at a random-access point: the buffer's offset for the
// time is only where the search begins, and the first such point of the video
// at or after it (within `limit` bytes, before the live edge) is where the
// source reads from. Without video, or without a point found, the time's own
// offset is kept (the decoders then wait for the next one themselves).
#include <cstdint>

#include "record/playback/random_access.h"

class TimeShiftBuffer;

std::uint64_t TimeShiftSeekOffset(TimeShiftBuffer& buffer, std::int64_t timeMs, std::uint16_t videoPid,
                                  VideoCoding coding, std::uint64_t limit);
