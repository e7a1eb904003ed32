#pragma once
// The texts of the playback bar: "00:12:34 / 01:05:00" for a file (position and
// duration), "-00:05:12" for how far time-shifted television is behind live.
#include <cstdint>
#include <string>

// "HH:MM:SS", seconds rounded down; negative times count as zero. Hours go past
// 99 without wrapping ("100:00:00").
std::string ClockText(std::int64_t ms);
std::string FilePositionText(std::int64_t positionMs, std::int64_t durationMs);
// "-HH:MM:SS" behind live; live itself is "-00:00:00".
std::string BehindLiveText(std::int64_t behindMs);
