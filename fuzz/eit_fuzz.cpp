#include <cstring>

#include "guide/eit_parser.h"
#include "guide/eit_time.h"

namespace {

class UtcClock final : public LocalTimeFormatter {
public:
    void Format(std::uint64_t utc, char (&text)[32]) const override
    {
        const std::uint64_t s = utc / kFileTimeTicksPerSecond % 86400;
        FormatClockText(static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60), text);
    }
};

bool Terminated(const GuideEvent& e)
{
    return std::memchr(e.startText, 0, sizeof e.startText) && std::memchr(e.endText, 0, sizeof e.endText) &&
           std::memchr(e.title, 0, sizeof e.title) && std::memchr(e.description, 0, sizeof e.description);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ChannelList list(2, MakeEmptyChaine());
    if (size >= 5)
        list[1].SID = data[3] << 8 | data[4];
    const int stored = ParseEitSection(data, size, list, 1, UtcClock());
    // Twice: the second pass meets full slots and repeated starts.
    ParseEitSection(data, size, list, 1, UtcClock());
    const Chaine& c = list[1];
    if (stored < 0 || !Terminated(c.presentEvent) || !Terminated(c.followingEvent))
        __builtin_trap();
    if (c.followingEvent.startTime != 0 && c.presentEvent.startTime >= c.followingEvent.startTime)
        __builtin_trap();
    return 0;
}
