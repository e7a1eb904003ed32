#include "record/playback/position_text.h"

#include <cstdio>

namespace {

struct Clock {
    long long h, m, s;
};

Clock Split(std::int64_t ms)
{
    const long long seconds = ms > 0 ? static_cast<long long>(ms / 1000) : 0;
    return {seconds / 3600, seconds / 60 % 60, seconds % 60};
}

}  // namespace

std::string ClockText(std::int64_t ms)
{
    const Clock c = Split(ms);
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", c.h, c.m, c.s);
    return text;
}

std::string FilePositionText(std::int64_t positionMs, std::int64_t durationMs)
{
    const Clock p = Split(positionMs);
    const Clock d = Split(durationMs);
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld / %02lld:%02lld:%02lld", p.h, p.m, p.s, d.h, d.m, d.s);
    return text;
}

std::string BehindLiveText(std::int64_t behindMs)
{
    const Clock c = Split(behindMs);
    char text[32];
    std::snprintf(text, sizeof text, "-%02lld:%02lld:%02lld", c.h, c.m, c.s);
    return text;
}
