#pragma once
// Local calendar and clock texts of the guide grid. The PC's time-zone rule is
// the platform's business: it comes in as the offset east of UTC, in seconds,
// that applies at an instant (France: +3600 in winter, +7200 in summer).
#include <cstdint>
#include <functional>
#include <string>

using UtcOffsetAt = std::function<int(std::int64_t utc)>;

struct LocalDate {
    int year = 1970;
    int month = 1;    // 1 to 12
    int day = 1;      // 1 to 31
    int weekday = 4;  // 0 Sunday to 6 Saturday
    int hour = 0;
    int minute = 0;
};

LocalDate LocalDateOf(std::int64_t utc, int offset);

// The UTC instant of the local midnight that begins the day holding `utc`.
std::int64_t LocalDayStart(std::int64_t utc, int offset);

// The start of the local half hour holding `utc`.
std::int64_t FloorHalfHour(std::int64_t utc, int offset);

std::string ClockText(const LocalDate& date);    // "20:50"
std::string ShortDayText(const LocalDate& date); // "mer. 9"
std::string LongDayText(const LocalDate& date);  // "mercredi 9 décembre 2026"
