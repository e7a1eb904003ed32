#pragma once
// The texts of the now-playing message to the messaging client: fields separated
// by backslash and '0' (two characters, not a NUL), beginning with a separator.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The bound of the text in UTF-16 code units, its terminating NUL included.
constexpr std::size_t kNowPlayingMaxUnits = 1024;
// The value the client expects in the message's dwData.
constexpr std::uintptr_t kNowPlayingTag = 1351;

// "Music" on, pattern "{0} - {1}", the channel's name then the programme's title.
// A text that would pass the bound gives up the end of the title first, then the
// end of the name, never half a surrogate pair, so that every field stays.
std::u16string NowPlayingText(std::u16string_view channelName, std::u16string_view title);
// "Music" off, every other field empty.
std::u16string NowPlayingClearText();
// The byte count of the message: the code units and the NUL, two bytes each.
std::uint32_t NowPlayingByteCount(std::u16string_view text);
