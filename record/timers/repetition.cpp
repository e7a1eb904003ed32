#include "record/timers/repetition.h"

namespace {

constexpr std::int64_t kDay = 86400;

bool RepeatsOn(Repeat repeat, int weekday, int firstWeekday)
{
    switch (repeat) {
    case Repeat::Once: return false;
    case Repeat::Daily: return true;
    case Repeat::Weekdays: return weekday < 5;
    case Repeat::Weekly: return weekday == firstWeekday;
    }
    return false;
}

}  // namespace

std::optional<Occurrence> NextOccurrence(const Timer& timer, std::int64_t after, const TimeZoneRule& zone)
{
    if (timer.repeat == Repeat::Once)
        return std::nullopt;
    const LocalDateTime first = ToLocal(timer.start, zone);
    const std::int64_t duration = timer.end - timer.start;
    const std::int64_t firstDay = DaysFromCivil(first.year, first.month, first.day);
    const LocalDateTime then = ToLocal(after, zone);
    // From the day before (a programme after midnight belongs to the evening
    // before) through a week and a day, which holds the next day of any repetition.
    std::int64_t day = DaysFromCivil(then.year, then.month, then.day) - 1;
    if (day < firstDay)
        day = firstDay;
    for (const std::int64_t last = day + 9; day <= last; ++day) {
        if (!RepeatsOn(timer.repeat, WeekdayOfDays(day), WeekdayOfDays(firstDay)))
            continue;
        LocalDateTime local = first;
        CivilFromDays(day, local.year, local.month, local.day);
        const std::optional<std::int64_t> start = ToUtc(local, zone);
        if (start && *start > after)
            return Occurrence{*start, *start + duration};
    }
    return std::nullopt;
}

std::vector<Occurrence> OccurrencesBetween(const Timer& timer, std::int64_t from, std::int64_t to,
                                           const TimeZoneRule& zone)
{
    std::vector<Occurrence> found;
    const std::int64_t before = std::int64_t{timer.marginBefore} * 60;
    const std::int64_t after = std::int64_t{timer.marginAfter} * 60;
    Occurrence next{timer.start, timer.end};
    if (next.end + after <= from) {
        // Long past: go straight to the occurrences around `from`.
        const std::optional<Occurrence> near = NextOccurrence(timer, from - (timer.end - timer.start) - after - 1, zone);
        if (!near)
            return found;
        next = *near;
    }
    // Bounded: even a daily timer has no more occurrences than days in the span.
    for (std::int64_t guard = (to - from) / kDay + 9; guard > 0; --guard) {
        if (next.start - before >= to)
            break;
        if (next.end + after > from)
            found.push_back(next);
        const std::optional<Occurrence> following = NextOccurrence(timer, next.start, zone);
        if (!following)
            break;
        next = *following;
    }
    return found;
}
