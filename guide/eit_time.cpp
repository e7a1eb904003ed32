#include "guide/eit_time.h"

namespace {

bool Bcd(std::uint8_t byte, int& value)
{
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9)
        return false;
    value = high * 10 + low;
    return true;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1 January 1601 to the start of `year` (1601 begins a 400-year cycle
// of the Gregorian calendar, which keeps the leap-day count simple).
std::int64_t DaysBeforeYear(int year)
{
    const std::int64_t y = year - 1601;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

bool DecodeBcdTime(const std::uint8_t* bytes, ClockTime& time)
{
    return Bcd(bytes[0], time.hour) && Bcd(bytes[1], time.minute) && Bcd(bytes[2], time.second);
}

std::uint64_t UtcToFileTime(const CalendarDate& date, const ClockTime& time)
{
    if (date.year < 1601 || date.year > 30827 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month))
        return 0;
    if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 || time.second < 0 ||
        time.second > 59)
        return 0;

    std::int64_t days = DaysBeforeYear(date.year);
    for (int m = 1; m < date.month; ++m)
        days += DaysInMonth(date.year, m);
    days += date.day - 1;
    const std::int64_t seconds = days * 86400 + time.hour * 3600 + time.minute * 60 + time.second;
    return static_cast<std::uint64_t>(seconds) * kFileTimeTicksPerSecond;
}

std::uint64_t EitStartToFileTime(const std::uint8_t* startField)
{
    const std::uint16_t mjd = static_cast<std::uint16_t>(startField[0] << 8 | startField[1]);
    ClockTime time{};
    if (!DecodeBcdTime(startField + 2, time))
        return 0;
    return UtcToFileTime(MjdToDate(mjd), time);
}

std::int64_t EitDurationSeconds(const std::uint8_t* durationField)
{
    ClockTime d{};
    // Hours may go up to 99; minutes and seconds must be clock values.
    if (!DecodeBcdTime(durationField, d) || d.minute > 59 || d.second > 59)
        return -1;
    return std::int64_t{d.hour} * 3600 + d.minute * 60 + d.second;
}
