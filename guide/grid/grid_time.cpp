#include "guide/grid/grid_time.h"

#include <cstdio>

namespace {

constexpr std::int64_t kDay = 86400;

constexpr const char* kWeekdays[] = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
constexpr const char* kShortWeekdays[] = {"dim.", "lun.", "mar.", "mer.", "jeu.", "ven.", "sam."};
constexpr const char* kMonths[] = {"janvier", "février", "mars",      "avril",   "mai",      "juin",
                                   "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};

// Floor division: instants before 1970 (a broadcast's all-zero date) must not
// round towards zero.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 to the proleptic Gregorian calendar, by 400-year eras.
void CivilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

LocalDate LocalDateOf(std::int64_t utc, int offset)
{
    const std::int64_t local = utc + offset;
    const std::int64_t days = FloorDiv(local, kDay);
    const std::int64_t seconds = local - days * kDay;
    LocalDate date;
    CivilFromDays(days, date.year, date.month, date.day);
    date.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    date.hour = static_cast<int>(seconds / 3600);
    date.minute = static_cast<int>(seconds % 3600 / 60);
    return date;
}

std::int64_t LocalDayStart(std::int64_t utc, int offset)
{
    return FloorDiv(utc + offset, kDay) * kDay - offset;
}

std::int64_t FloorHalfHour(std::int64_t utc, int offset)
{
    return FloorDiv(utc + offset, 1800) * 1800 - offset;
}

std::string ClockText(const LocalDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", date.hour, date.minute);
    return text;
}

std::string ShortDayText(const LocalDate& date)
{
    return std::string(kShortWeekdays[date.weekday]) + " " + std::to_string(date.day);
}

std::string LongDayText(const LocalDate& date)
{
    return std::string(kWeekdays[date.weekday]) + " " + std::to_string(date.day) + " " + kMonths[date.month - 1] +
           " " + std::to_string(date.year);
}
