#pragma once
// Local clock texts of the guide. The conversion from UTC to local time is the
// platform's business; the guide's parsing code only sees this interface.
#include <cstdint>

class LocalTimeFormatter {
public:
    virtual ~LocalTimeFormatter() = default;
    // Writes the local clock time of a UTC file time as "HH:MM:SS", terminated;
    // an empty text when the instant cannot be converted. Must not allocate.
    virtual void Format(std::uint64_t utcFileTime, char (&text)[32]) const = 0;
};

// "HH:MM:SS" with two digits each.
void FormatClockText(int hour, int minute, int second, char (&text)[32]);
