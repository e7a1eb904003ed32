#pragma once
// A timer made by hand: what the user typed (a day, a start and an end on the
// local clock, a channel, a title, a repetition) checked and turned into a timer,
// or a French message saying what to correct. And the texts of the timer list's
// columns.
#include <cstdint>
#include <string>
#include <variant>

#include "record/timers/time_zone.h"
#include "record/timers/timer.h"

struct TimerForm {
    ServiceKey service;
    std::string channel;  // UTF-8
    std::string title;    // UTF-8; empty: the channel's name
    int year = 0, month = 0, day = 0;
    int startHour = 0, startMinute = 0;
    int endHour = 0, endMinute = 0;  // earlier than the start: the next day
    Repeat repeat = Repeat::Once;
    int marginBefore = 0;  // minutes
    int marginAfter = 0;
};

// The timer, or the message (UTF-8) that says why there is none. A programme
// that has begun is accepted (it starts at once); one that has ended is not.
std::variant<Timer, std::string> TimerFromForm(const TimerForm& form, std::int64_t now, const TimeZoneRule& zone);

// The list's columns for one timer: Chaîne, Jour, Début, Fin, Titre, État (UTF-8),
// the day as "ven. 11/12/2026" and the times as "20:00" on the local clock.
struct TimerRow {
    std::string channel, day, start, end, title, state;
};
TimerRow RowOf(const Timer& timer, const TimeZoneRule& zone);
