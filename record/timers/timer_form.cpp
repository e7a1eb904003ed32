#include "record/timers/timer_form.h"

#include <cstdio>

#include "record/timers/repetition.h"

namespace {

std::string Clock(const LocalDateTime& t)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour % 100, t.minute % 100);
    return text;
}

}  // namespace

std::variant<Timer, std::string> TimerFromForm(const TimerForm& form, std::int64_t now, const TimeZoneRule& zone)
{
    if (!IsValidDate(form.year, form.month, form.day)) {
        char text[96];
        std::snprintf(text, sizeof text, "Le jour %02d/%02d/%04d n'existe pas.", form.day % 100, form.month % 100,
                      form.year % 10000);
        return std::string(text);
    }
    const auto start = ToUtc({form.year, form.month, form.day, form.startHour, form.startMinute, 0}, zone);
    if (!start)
        return std::string("L'heure de d\u00e9but n'est pas une heure valide.");
    const bool nextDay = form.endHour * 60 + form.endMinute < form.startHour * 60 + form.startMinute;
    int year = form.year, month = form.month, day = form.day;
    if (nextDay)
        CivilFromDays(DaysFromCivil(year, month, day) + 1, year, month, day);
    const auto end = ToUtc({year, month, day, form.endHour, form.endMinute, 0}, zone);
    if (!end)
        return std::string("L'heure de fin n'est pas une heure valide.");
    if (*end <= *start)
        return std::string("La fin de l'enregistrement doit venir apr\u00e8s son d\u00e9but.");
    if (*end <= now && form.repeat == Repeat::Once)
        return std::string("Ce programme est d\u00e9j\u00e0 termin\u00e9 : choisissez un jour ou une heure \u00e0 venir.");

    Timer t;
    t.service = form.service;
    t.channel = form.channel;
    t.title = form.title.empty() ? form.channel : form.title;
    t.start = *start;
    t.end = *end;
    t.marginBefore = form.marginBefore;
    t.marginAfter = form.marginAfter;
    t.repeat = form.repeat;
    // A repetition starts with its first day that is one of its days and not
    // over: "du lundi au vendredi" chosen on a Saturday begins on Monday.
    const int weekday = WeekdayOfDays(DaysFromCivil(form.year, form.month, form.day));
    const bool offDay = form.repeat == Repeat::Weekdays && weekday >= 5;
    if (form.repeat != Repeat::Once && (offDay || t.RecordUntil() <= now)) {
        const std::int64_t duration = t.end - t.start;
        std::int64_t after = t.start;
        if (t.RecordUntil() <= now)
            after = now - duration - std::int64_t{t.marginAfter} * 60;
        if (const std::optional<Occurrence> next = NextOccurrence(t, after, zone)) {
            t.start = next->start;
            t.end = next->end;
        }
    }
    return t;
}

TimerRow RowOf(const Timer& timer, const TimeZoneRule& zone)
{
    static const char* const kDays[] = {"lun.", "mar.", "mer.", "jeu.", "ven.", "sam.", "dim."};
    const LocalDateTime start = ToLocal(timer.start, zone);
    const LocalDateTime end = ToLocal(timer.end, zone);
    char day[32];
    std::snprintf(day, sizeof day, "%s %02d/%02d/%04d",
                  kDays[WeekdayOfDays(DaysFromCivil(start.year, start.month, start.day))], start.day % 100,
                  start.month % 100, start.year % 10000);
    return {timer.channel, day, Clock(start), Clock(end), timer.title, StateText(timer)};
}
