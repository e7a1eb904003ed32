#include "app/channel_navigation.h"

#include <limits>

namespace {

constexpr unsigned kKeyDigit0 = 0x30;    // '0' on the main keyboard
constexpr unsigned kKeyNumpad0 = 0x60;   // 0 on the numeric keypad
constexpr int kWheelNotch = 120;

}  // namespace

std::int32_t SteppedChannel(const ChannelList& list, std::int32_t current, Step step, bool recording)
{
    const auto count = static_cast<std::int32_t>(list.size());
    if (count == 0)
        return -1;
    const std::int32_t delta = step == Step::Next ? 1 : count - 1;
    if (!IsValidChannelIndex(list, current))
        return recording ? -1 : (step == Step::Next ? 0 : count - 1);
    if (!recording)
        return (current + delta) % count;

    const std::int32_t frequency = list[static_cast<std::size_t>(current)].Frequence;
    for (std::int32_t index = (current + delta) % count; index != current; index = (index + delta) % count) {
        if (list[static_cast<std::size_t>(index)].Frequence == frequency)
            return index;
    }
    return -1;
}

std::optional<int> DigitOfKey(unsigned virtualKey)
{
    if (virtualKey >= kKeyDigit0 && virtualKey <= kKeyDigit0 + 9)
        return static_cast<int>(virtualKey - kKeyDigit0);
    if (virtualKey >= kKeyNumpad0 && virtualKey <= kKeyNumpad0 + 9)
        return static_cast<int>(virtualKey - kKeyNumpad0);
    return std::nullopt;
}

std::int32_t AppendTypedDigit(std::int32_t typed, int digit)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    if (typed < 0 || typed > (kMax - digit) / 10)
        return kTypedNumberTooLong;
    return typed * 10 + digit;
}

std::optional<Step> WheelStep(int delta)
{
    if (delta >= kWheelNotch)
        return Step::Previous;
    if (delta <= -kWheelNotch)
        return Step::Next;
    return std::nullopt;
}

std::vector<ChannelChoice> SteppingChoices(const ChannelList& list, const std::vector<ChannelChoice>& choices,
                                           std::int32_t current, bool recording)
{
    std::vector<ChannelChoice> stepping(list.size());
    const bool known = IsValidChannelIndex(list, current);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i < choices.size()) {
            stepping[i].hidden = choices[i].hidden;
            stepping[i].favourite = choices[i].favourite;
        }
        if (recording && (!known || list[i].Frequence != list[static_cast<std::size_t>(current)].Frequence))
            stepping[i].hidden = true;
    }
    return stepping;
}
