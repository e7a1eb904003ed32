#pragma once
// Channel navigation from the keyboard and the wheel, decided from the channel list
// alone: stepping through the list, typed channel numbers, wheel rotations.
#include <cstdint>
#include <optional>

#include "channels/chaine.h"

enum class Step { Previous, Next };

// The channel one step away from `current` in list order, wrapping at both ends.
// While recording, only channels on the current channel's multiplex count, and the
// current one itself is never the answer. -1: nothing to select.
std::int32_t SteppedChannel(const ChannelList& list, std::int32_t current, Step step, bool recording);

// The digit a key stands for: 0-9 on the main keyboard or on the numeric keypad.
std::optional<int> DigitOfKey(unsigned virtualKey);

// A typed number that has grown too long to be any channel's; it stays so until reset.
constexpr std::int32_t kTypedNumberTooLong = -1;

// `typed` with `digit` appended; kTypedNumberTooLong instead of overflowing.
std::int32_t AppendTypedDigit(std::int32_t typed, int digit);

// The step one wheel message asks for: a notch (120) or more either way moves one
// channel, a smaller rotation none.
std::optional<Step> WheelStep(int delta);
