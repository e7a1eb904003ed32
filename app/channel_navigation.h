#pragma once
// Channel navigation from the keyboard and the wheel, decided from the channel list
// alone: stepping through the list, typed channel numbers, wheel rotations.
#include <cstdint>
#include <optional>

#include <vector>

#include "channels/chaine.h"
#include "channels/channel_choices.h"

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

// The choices the arrows, the wheel and F step through (StepVisible,
// NextFavourite): one per channel of `list`, a channel without one counting as
// shown. While recording, a retune would cut the recording, so every channel off
// the recorded multiplex counts as hidden, and all of them do when no channel is
// current yet.
std::vector<ChannelChoice> SteppingChoices(const ChannelList& list, const std::vector<ChannelChoice>& choices,
                                           std::int32_t current, bool recording);
