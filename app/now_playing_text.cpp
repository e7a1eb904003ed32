#include "app/now_playing_text.h"

namespace {

constexpr std::u16string_view kHead = u"\\0Music\\01\\0{0} - {1}\\0";
constexpr std::u16string_view kMiddle = u"\\0";
constexpr std::u16string_view kTail = u"\\0\\0\\0";

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The first `units` code units of `text`, one fewer when that would split a pair.
std::u16string_view Cut(std::u16string_view text, std::size_t units)
{
    if (units >= text.size())
        return text;
    if (units > 0 && IsHighSurrogate(text[units - 1]))
        --units;
    return text.substr(0, units);
}

}  // namespace

std::u16string NowPlayingText(std::u16string_view channelName, std::u16string_view title)
{
    constexpr std::size_t kRoom = kNowPlayingMaxUnits - 1 - kHead.size() - kMiddle.size() - kTail.size();
    const std::u16string_view name = Cut(channelName, kRoom);
    const std::u16string_view shownTitle = Cut(title, kRoom - name.size());

    std::u16string text;
    text.reserve(kHead.size() + name.size() + kMiddle.size() + shownTitle.size() + kTail.size());
    text.append(kHead).append(name).append(kMiddle).append(shownTitle).append(kTail);
    return text;
}

std::u16string NowPlayingClearText()
{
    return u"\\0Music\\00\\0\\0\\0\\0\\0\\0";
}

std::uint32_t NowPlayingByteCount(std::u16string_view text)
{
    return static_cast<std::uint32_t>((text.size() + 1) * 2);
}
