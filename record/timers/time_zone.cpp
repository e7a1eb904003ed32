#include "record/timers/time_zone.h"

#include <algorithm>

namespace {

constexpr std::int64_t kDay = 86400;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// 01:00 UTC on the last Sunday of `month`.
std::int64_t LastSundayOneUtc(int year, int month)
{
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    const std::int64_t last = DaysFromCivil(nextYear, nextMonth, 1) - 1;
    const std::int64_t sunday = last - (WeekdayOfDays(last) + 1) % 7;
    return sunday * kDay + 3600;
}

}  // namespace

std::int64_t DaysFromCivil(int year, int month, int day)
{
    // Counts from 1 March, so that the leap day ends the year (H. Hinnant's method).
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2);
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

int WeekdayOfDays(std::int64_t days)
{
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((days % 7) + 7 + 3) % 7);
}

bool IsValidDate(int year, int month, int day)
{
    if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    int y = 0, m = 0, d = 0;
    CivilFromDays(DaysFromCivil(year, month, day), y, m, d);
    return y == year && m == month && d == day;
}

int EuropeParisRule::OffsetAt(std::int64_t utc) const
{
    int year = 0, month = 0, day = 0;
    CivilFromDays(FloorDiv(utc, kDay), year, month, day);
    const bool summer = utc >= LastSundayOneUtc(year, 3) && utc < LastSundayOneUtc(year, 10);
    return summer ? 7200 : 3600;
}

const TimeZoneRule& EuropeParis()
{
    static const EuropeParisRule rule;
    return rule;
}

LocalDateTime ToLocal(std::int64_t utc, const TimeZoneRule& zone)
{
    const std::int64_t local = utc + zone.OffsetAt(utc);
    LocalDateTime t;
    const std::int64_t days = FloorDiv(local, kDay);
    CivilFromDays(days, t.year, t.month, t.day);
    const std::int64_t seconds = local - days * kDay;
    t.hour = static_cast<int>(seconds / 3600);
    t.minute = static_cast<int>(seconds / 60 % 60);
    t.second = static_cast<int>(seconds % 60);
    return t;
}

std::optional<std::int64_t> ToUtc(const LocalDateTime& local, const TimeZoneRule& zone)
{
    if (!IsValidDate(local.year, local.month, local.day) || local.hour < 0 || local.hour > 23 || local.minute < 0 ||
        local.minute > 59 || local.second < 0 || local.second > 59)
        return std::nullopt;
    const std::int64_t wall =
        DaysFromCivil(local.year, local.month, local.day) * kDay + local.hour * 3600 + local.minute * 60 + local.second;
    // The offsets a day either side cover any change of the night.
    const int before = zone.OffsetAt(wall - kDay);
    const int after = zone.OffsetAt(wall + kDay);
    std::optional<std::int64_t> best;
    for (int offset : {before, after}) {
        const std::int64_t utc = wall - offset;
        if (zone.OffsetAt(utc) == offset)
            best = best ? std::min(*best, utc) : utc;
    }
    if (best)
        return best;
    // Skipped by the clock: read with the offset before the jump, it falls just after it.
    return wall - before;
}
