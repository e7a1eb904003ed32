#pragma once
// UTC dates and durations as written in a description, and as coded in the
// event information table (Modified Julian Date plus BCD time).
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tsgen {

// "YYYY-MM-DDTHH:MM[:SS]" (a space may replace the T) to seconds since
// 1970-01-01 UTC; nothing for a malformed or impossible date.
std::optional<std::int64_t> ParseUtc(std::string_view text);

// "HH:MM[:SS]" to seconds (hours may exceed 23); nothing when malformed.
std::optional<std::int32_t> ParseDuration(std::string_view text);

// The 5-byte EIT start_time field: MJD (16 bits) then hour, minute, second in BCD.
std::array<std::uint8_t, 5> EncodeEitStart(std::int64_t utcSeconds);

// The 3-byte EIT duration field: hours, minutes, seconds in BCD (hours below 100).
std::array<std::uint8_t, 3> EncodeEitDuration(std::int32_t seconds);

}  // namespace tsgen
