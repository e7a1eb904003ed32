#include "record/playback/position_text.h"

#include <cstdio>

std::string ClockText(std::int64_t ms)
{
    const std::int64_t seconds = ms > 0 ? ms / 1000 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

std::string FilePositionText(std::int64_t positionMs, std::int64_t durationMs)
{
    return ClockText(positionMs) + " / " + ClockText(durationMs);
}

std::string BehindLiveText(std::int64_t behindMs)
{
    return "-" + ClockText(behindMs);
}
