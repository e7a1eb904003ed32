#pragma once
// The descriptors of one EIT event that the guide shows: short event (0x4D),
// extended event (0x4E), component (0x50), content (0x54) and parental rating
// (0x55). Other descriptors are passed over.
#include <cstddef>
#include <cstdint>

#include "guide/schedule/schedule_event.h"

// Reads the descriptor loop of `loopLength` bytes at `loop` into `event`.
// False when a descriptor's length runs past the loop, or a descriptor is too
// short for its own fixed fields: the event is then not to be trusted.
bool ReadEventDescriptors(const std::uint8_t* loop, std::size_t loopLength, ScheduleEvent& event);
