// The scheduler's rules: repetitions on the wall clock across daylight-saving
// changes, conflicts between multiplexes, start-up after a stop, events that move
// or overrun, and the file's name.
#include <gtest/gtest.h>

#include "record/timers/conflicts.h"
#include "record/timers/event_follow.h"
#include "record/timers/repetition.h"
#include "record/timers/scheduler.h"
#include "record/timers/timer_file_name.h"
#include "record/timers/timer_form.h"

namespace {

const TimeZoneRule& kParis = EuropeParis();
const ServiceKey kTf1{0x20FA, 6, 1537};
const ServiceKey kFrance2OtherMux{0x20FA, 1, 257};
const ServiceKey kSameMuxAsTf1{0x20FA, 6, 1538};

std::int64_t Paris(int y, int mo, int d, int h, int mi)
{
    return *ToUtc(LocalDateTime{y, mo, d, h, mi, 0}, kParis);
}

Timer MakeTimer(std::int64_t start, std::int64_t minutes, Repeat repeat = Repeat::Once, ServiceKey service = kTf1,
                const char* title = "Journal")
{
    Timer t;
    t.service = service;
    t.channel = "TF1";
    t.title = title;
    t.start = start;
    t.end = start + minutes * 60;
    t.marginBefore = 2;
    t.marginAfter = 10;
    t.repeat = repeat;
    return t;
}

std::string LocalText(std::int64_t utc)
{
    const LocalDateTime l = ToLocal(utc, kParis);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", l.year, l.month, l.day, l.hour, l.minute);
    return text;
}

const EventWatcher kNoGuide = [](std::size_t) { return EventWatch{}; };

TEST(TimeZone, ParisChangesOnTheLastSundaysAtOneUtc)
{
    struct Case {
        LocalDateTime local;
        std::int64_t utcHourOfDay;  // expected UTC hour of that local instant
        int day;                    // and its UTC day of month
    };
    const Case cases[] = {
        {{2026, 3, 29, 1, 30, 0}, 0, 29},   // before the spring change: UTC+1
        {{2026, 3, 29, 2, 30, 0}, 1, 29},   // skipped by the clock: read as 03:30
        {{2026, 3, 29, 3, 30, 0}, 1, 29},   // after: UTC+2
        {{2026, 10, 25, 2, 30, 0}, 0, 25},  // shown twice: the first showing (UTC+2)
        {{2026, 10, 25, 3, 30, 0}, 2, 25},  // after: UTC+1
        {{2026, 12, 31, 23, 30, 0}, 22, 31},
    };
    for (const Case& c : cases) {
        const std::optional<std::int64_t> utc = ToUtc(c.local, kParis);
        ASSERT_TRUE(utc) << c.local.month << "-" << c.local.day;
        int y = 0, m = 0, d = 0;
        CivilFromDays(*utc / 86400, y, m, d);
        EXPECT_EQ(*utc % 86400 / 3600, c.utcHourOfDay) << c.local.month << "-" << c.local.day << " " << c.local.hour;
        EXPECT_EQ(d, c.day);
    }
    for (const LocalDateTime bad : {LocalDateTime{2026, 4, 31, 20, 0, 0}, LocalDateTime{2026, 2, 29, 20, 0, 0},
                                    LocalDateTime{2026, 1, 1, 24, 0, 0}, LocalDateTime{2026, 13, 1, 0, 0, 0}})
        EXPECT_FALSE(ToUtc(bad, kParis)) << bad.month << "-" << bad.day;
    EXPECT_TRUE(ToUtc(LocalDateTime{2028, 2, 29, 20, 0, 0}, kParis));
}

TEST(Repetition, NextOccurrenceKeepsTheWallClockAcrossChanges)
{
    struct Case {
        const char* name;
        std::int64_t first;
        Repeat repeat;
        std::int64_t after;
        const char* expected;  // local, or "" for none
    };
    const Case cases[] = {
        {"daily over spring", Paris(2026, 3, 28, 20, 0), Repeat::Daily, Paris(2026, 3, 28, 20, 0), "2026-03-29 20:00"},
        {"daily over autumn", Paris(2026, 10, 24, 20, 0), Repeat::Daily, Paris(2026, 10, 24, 20, 0),
         "2026-10-25 20:00"},
        {"daily in the skipped hour", Paris(2026, 3, 28, 2, 30), Repeat::Daily, Paris(2026, 3, 28, 2, 30),
         "2026-03-29 03:30"},
        {"daily the hour shown twice, once", Paris(2026, 10, 24, 2, 30), Repeat::Daily, Paris(2026, 10, 24, 2, 30),
         "2026-10-25 02:30"},
        {"after the first showing, the next day", Paris(2026, 10, 24, 2, 30), Repeat::Daily,
         Paris(2026, 10, 25, 2, 30), "2026-10-26 02:30"},
        {"weekdays skip the weekend", Paris(2026, 12, 11, 13, 0), Repeat::Weekdays, Paris(2026, 12, 11, 13, 0),
         "2026-12-14 13:00"},
        {"weekly over autumn", Paris(2026, 10, 20, 21, 5), Repeat::Weekly, Paris(2026, 10, 20, 21, 5),
         "2026-10-27 21:05"},
        {"long after, the next one from then", Paris(2026, 1, 5, 20, 0), Repeat::Weekly, Paris(2026, 7, 1, 12, 0),
         "2026-07-06 20:00"},
        {"once has none", Paris(2026, 12, 11, 20, 0), Repeat::Once, Paris(2026, 12, 11, 20, 0), ""},
    };
    for (const Case& c : cases) {
        const std::optional<Occurrence> next = NextOccurrence(MakeTimer(c.first, 40, c.repeat), c.after, kParis);
        EXPECT_EQ(next ? LocalText(next->start) : "", c.expected) << c.name;
        if (next) {
            EXPECT_EQ(next->end - next->start, 40 * 60) << c.name;
        }
    }
}

TEST(Repetition, OccurrencesOfEightDays)
{
    const Timer daily = MakeTimer(Paris(2026, 3, 25, 20, 0), 30, Repeat::Daily);
    const auto all = OccurrencesBetween(daily, Paris(2026, 3, 25, 0, 0), Paris(2026, 4, 2, 0, 0), kParis);
    ASSERT_EQ(all.size(), 8u);
    for (const Occurrence& o : all)
        EXPECT_EQ(LocalText(o.start).substr(11), "20:00");
    const Timer weekdays = MakeTimer(Paris(2026, 3, 25, 20, 0), 30, Repeat::Weekdays);
    EXPECT_EQ(OccurrencesBetween(weekdays, Paris(2026, 3, 25, 0, 0), Paris(2026, 4, 2, 0, 0), kParis).size(), 6u);
}

TEST(Conflicts, OnlyOverlapsOnDifferentMultiplexesConflict)
{
    const std::int64_t eight = Paris(2026, 12, 11, 20, 0);
    struct Case {
        const char* name;
        Timer other;
        bool conflicts;
    };
    const Case cases[] = {
        {"same multiplex, same time", MakeTimer(eight, 60, Repeat::Once, kSameMuxAsTf1), false},
        {"other multiplex, overlapping", MakeTimer(eight + 1800, 60, Repeat::Once, kFrance2OtherMux), true},
        {"other multiplex, only the margins overlap", MakeTimer(eight + 3600 + 300, 60, Repeat::Once, kFrance2OtherMux),
         true},
        {"other multiplex, after the after-margin", MakeTimer(eight + 3600 + 600 + 120, 60, Repeat::Once,
                                                               kFrance2OtherMux),
         false},
        {"other multiplex, a daily one meeting it days later",
         MakeTimer(Paris(2026, 12, 8, 20, 30), 30, Repeat::Daily, kFrance2OtherMux), true},
        {"other multiplex, weekdays, meeting it on the Friday", MakeTimer(Paris(2026, 12, 7, 20, 30), 30, Repeat::Weekdays,
                                                               kFrance2OtherMux),
         true},
    };
    const std::int64_t now = Paris(2026, 12, 10, 12, 0);
    const Timer saturday = MakeTimer(Paris(2026, 12, 12, 20, 0), 60);
    for (const Case& c : cases) {
        const std::vector<Timer> timers{MakeTimer(eight, 60)};
        EXPECT_EQ(ConflictingTimer(c.other, timers, now, kParis) == 0, c.conflicts) << c.name;
    }
    // Weekdays never meet a Saturday programme.
    EXPECT_EQ(ConflictingTimer(MakeTimer(Paris(2026, 12, 7, 20, 30), 30, Repeat::Weekdays, kFrance2OtherMux),
                               {saturday}, now, kParis),
              1u);

    std::vector<Timer> timers{MakeTimer(eight, 60, Repeat::Once, kTf1, "Journal"),
                              MakeTimer(eight + 1800, 60, Repeat::Once, kFrance2OtherMux, "Film"),
                              MakeTimer(eight, 60, Repeat::Once, kSameMuxAsTf1, "Sport")};
    EXPECT_TRUE(MarkConflicts(timers, now, kParis));
    EXPECT_EQ(StateText(timers[0]), "Conflit avec Film");
    EXPECT_EQ(StateText(timers[1]), "Conflit avec Journal");
    EXPECT_EQ(StateText(timers[2]), "Conflit avec Film");
    timers.erase(timers.begin() + 1);
    EXPECT_TRUE(MarkConflicts(timers, now, kParis));
    EXPECT_EQ(StateText(timers[0]), "Pr\u00e9vu");
    EXPECT_FALSE(MarkConflicts(timers, now, kParis));
}

TEST(Scheduler, StartUpAfterTheProgramWasStopped)
{
    const std::int64_t start = Paris(2026, 12, 11, 20, 0);  // recording window 19:58 to 21:10
    struct Case {
        const char* name;
        TimerState before;
        std::int64_t now;
        const char* after;
        bool starts;
    };
    const Case cases[] = {
        {"still to come", TimerState::Planned, start - 3600, "Pr\u00e9vu", false},
        {"window passed", TimerState::Planned, start + 3 * 3600, "Manqu\u00e9 : programme ferm\u00e9", false},
        {"window passed in conflict", TimerState::Conflict, start + 3 * 3600, "Manqu\u00e9 : programme ferm\u00e9",
         false},
        {"killed while recording, still open", TimerState::Recording, start + 600, "En cours", true},
        {"killed while recording, over", TimerState::Recording, start + 3 * 3600,
         "\u00c9chec : programme interrompu", false},
        {"done stays done", TimerState::Done, start + 3 * 3600, "Termin\u00e9", false},
    };
    for (const Case& c : cases) {
        std::vector<Timer> timers{MakeTimer(start, 60)};
        timers[0].state = c.before;
        std::vector<std::size_t> changed;
        const std::vector<TimerAction> starts = AtStartup(timers, c.now, kParis, changed);
        EXPECT_EQ(StateText(timers[0]), c.after) << c.name;
        EXPECT_EQ(starts.size(), c.starts ? 1u : 0u) << c.name;
        if (c.starts) {
            EXPECT_TRUE(starts[0].late);
            // The resumed recording ends as a failure: the programme is in two files.
            FinishTimer(timers[0], {});
            EXPECT_EQ(StateText(timers[0]), "\u00c9chec : programme interrompu") << c.name;
        }
    }

    // A daily timer last recorded days ago: its latest occurrence is shown
    // missed, and today's still records.
    std::vector<Timer> daily{MakeTimer(start - 3 * 86400, 60, Repeat::Daily)};
    daily[0].state = TimerState::Done;
    std::vector<std::size_t> changed;
    EXPECT_TRUE(AtStartup(daily, start - 8 * 3600, kParis, changed).empty());
    EXPECT_EQ(StateText(daily[0]), "Manqu\u00e9 : programme ferm\u00e9");
    EXPECT_EQ(LocalText(daily[0].start), "2026-12-10 20:00");
    EXPECT_EQ(NextWake(daily, start - 8 * 3600, kNoGuide, kParis), start - 120);
}

TEST(Scheduler, StartsStopsAndTheTuner)
{
    const std::int64_t start = Paris(2026, 12, 11, 20, 0);
    struct Case {
        const char* name;
        std::int64_t now;
        std::optional<ServiceKey> byHand;
        std::vector<TimerAction> actions;
        std::vector<std::string> states;
    };
    using K = TimerAction::Kind;
    const Case cases[] = {
        {"before the margin", start - 121, {}, {}, {"Pr\u00e9vu", "Pr\u00e9vu", "Pr\u00e9vu"}},
        {"at the margin, first comer takes the tuner",
         start - 120,
         {},
         {{K::Start, 0, false}, {K::Start, 2, false}},
         {"En cours", "Manqu\u00e9 : tuner occup\u00e9", "En cours"}},
        {"late start", start + 60, {}, {{K::Start, 0, true}, {K::Start, 2, true}},
         {"En cours", "Manqu\u00e9 : tuner occup\u00e9", "En cours"}},
        {"a recording by hand holds another multiplex",
         start - 120,
         kFrance2OtherMux,
         {{K::Start, 1, false}},
         {"Manqu\u00e9 : tuner occup\u00e9", "En cours", "Manqu\u00e9 : tuner occup\u00e9"}},
        {"woken after the window", start + 2 * 3600, {}, {},
         {"Manqu\u00e9 : heure d\u00e9pass\u00e9e", "Manqu\u00e9 : heure d\u00e9pass\u00e9e",
          "Manqu\u00e9 : heure d\u00e9pass\u00e9e"}},
    };
    for (const Case& c : cases) {
        std::vector<Timer> timers{MakeTimer(start, 60), MakeTimer(start, 60, Repeat::Once, kFrance2OtherMux),
                                  MakeTimer(start, 60, Repeat::Once, kSameMuxAsTf1)};
        std::vector<std::size_t> changed;
        EXPECT_EQ(Schedule(timers, c.now, c.byHand, kNoGuide, kParis, changed), c.actions) << c.name;
        for (std::size_t i = 0; i < timers.size(); ++i)
            EXPECT_EQ(StateText(timers[i]), c.states[i]) << c.name << " " << i;
    }

    // Running: stop at the end plus the after-margin, and a daily timer comes back
    // once, however the clock moves back.
    std::vector<Timer> timers{MakeTimer(start, 60, Repeat::Daily)};
    std::vector<std::size_t> changed;
    Schedule(timers, start, {}, kNoGuide, kParis, changed);
    EXPECT_EQ(NextWake(timers, start, kNoGuide, kParis), start + 3600 + 600);
    EXPECT_TRUE(Schedule(timers, start + 3600 + 599, {}, kNoGuide, kParis, changed).empty());
    EXPECT_EQ(Schedule(timers, start + 3600 + 600, {}, kNoGuide, kParis, changed),
              (std::vector<TimerAction>{{K::Stop, 0, false}}));
    EXPECT_EQ(StateText(timers[0]), "Termin\u00e9");
    EXPECT_TRUE(Schedule(timers, start + 60, {}, kNoGuide, kParis, changed).empty()) << "clock set back";
    EXPECT_EQ(NextWake(timers, start + 3600 + 600, kNoGuide, kParis), start + 86400 - 120);
    EXPECT_EQ(Schedule(timers, start + 86400 - 120, {}, kNoGuide, kParis, changed),
              (std::vector<TimerAction>{{K::Start, 0, false}}));
    EXPECT_EQ(LocalText(timers[0].start), "2026-12-12 20:00");
}

TEST(EventFollowing, MovedEventsAndOverruns)
{
    const std::int64_t start = Paris(2026, 12, 11, 20, 0);
    Timer t = MakeTimer(start, 60);
    t.eventId = 42;
    GuideEntry moved{kTf1, 42, start + 900, start + 900 + 3600, "Journal", "", "", 0, 0, 0};
    GuideEntry other = moved;
    other.eventId = 43;
    EXPECT_FALSE(FollowEvent(t, other, start - 3600)) << "another event";
    EXPECT_FALSE(FollowEvent(t, moved, start - 60)) << "already recording";
    EXPECT_TRUE(FollowEvent(t, moved, start - 3600));
    EXPECT_EQ(t.start, start + 900);
    EXPECT_FALSE(FollowEvent(t, moved, start - 3600)) << "nothing new";

    t = MakeTimer(start, 60);
    const std::int64_t end = start + 3600, planned = end + 600;
    using P = EventWatch::Presence;
    struct Case {
        const char* name;
        bool fromGuide;
        EventWatch watch;
        std::int64_t now;
        std::int64_t stop;
    };
    const Case cases[] = {
        {"not from the guide", false, {P::Present, 0}, end + 60, planned},
        {"no guide", true, {P::Unknown, 0}, end + 60, planned},
        {"present during the programme", true, {P::Present, 0}, end - 60, planned},
        {"still present at the end", true, {P::Present, 0}, end + 60, planned + kMaxOverrun},
        {"left on time", true, {P::Left, end - 10}, end + 60, planned},
        {"left late", true, {P::Left, end + 1200}, end + 1300, end + 1200 + 600},
        {"left very late", true, {P::Left, end + 5 * 3600}, end + 5 * 3600, planned + kMaxOverrun},
    };
    for (const Case& c : cases) {
        Timer timer = t;
        if (c.fromGuide)
            timer.eventId = 42;
        EXPECT_EQ(StopTime(timer, c.watch, c.now), c.stop) << c.name;
    }
}

TEST(TimerFileName, ChannelTitleDateAndLateness)
{
    Timer t = MakeTimer(Paris(2026, 3, 7, 20, 5), 60);
    t.channel = "France 2";
    t.title = "Envoy\u00e9 sp\u00e9cial : 1/2";
    const LocalDateTime local = ToLocal(t.start, kParis);
    EXPECT_EQ(TimerFileStem(t, local, false), L"France 2 - Envoy\u00e9 sp\u00e9cial _ 1_2 07-03-2026 20-05");
    EXPECT_EQ(TimerFileStem(t, local, true), L"France 2 - Envoy\u00e9 sp\u00e9cial _ 1_2 07-03-2026 20-05 (commenc\u00e9 en retard)");
    t.channel = "..";
    t.title = "..";
    EXPECT_EQ(TimerFileStem(t, local, false), L".. - 07-03-2026 20-05");
}

}  // namespace

namespace {

TEST(TimerForm, WhatTheUserTypedIsCheckedAndTurnedIntoATimer)
{
    const std::int64_t now = Paris(2026, 12, 11, 12, 0);  // a Friday
    struct Case {
        const char* name;
        int year, month, day, startHour, startMinute, endHour, endMinute;
        Repeat repeat;
        const char* start;  // local, or the start of the message
        const char* end;
    };
    const Case cases[] = {
        {"this evening", 2026, 12, 11, 20, 0, 21, 30, Repeat::Once, "2026-12-11 20:00", "2026-12-11 21:30"},
        {"across midnight", 2026, 12, 11, 23, 30, 0, 45, Repeat::Once, "2026-12-11 23:30", "2026-12-12 00:45"},
        {"begun: starts at once", 2026, 12, 11, 11, 0, 13, 0, Repeat::Once, "2026-12-11 11:00", "2026-12-11 13:00"},
        {"ended", 2026, 12, 11, 9, 0, 10, 0, Repeat::Once, "Ce programme est d\u00e9j\u00e0 termin\u00e9", ""},
        {"daily, today's is over: tomorrow", 2026, 12, 11, 9, 0, 10, 0, Repeat::Daily, "2026-12-12 09:00",
         "2026-12-12 10:00"},
        {"weekdays from a Saturday: Monday", 2026, 12, 12, 13, 0, 13, 40, Repeat::Weekdays, "2026-12-14 13:00",
         "2026-12-14 13:40"},
        {"no such day", 2026, 2, 30, 20, 0, 21, 0, Repeat::Once, "Le jour 30/02/2026 n'existe pas.", ""},
        {"no such hour", 2026, 12, 11, 25, 0, 21, 0, Repeat::Once, "L'heure de d\u00e9but", ""},
        {"end equals start", 2026, 12, 11, 20, 0, 20, 0, Repeat::Once, "La fin de l'enregistrement", ""},
        {"in the hour skipped in spring: an hour later", 2027, 3, 28, 2, 15, 2, 45, Repeat::Once, "2027-03-28 03:15",
         "2027-03-28 03:45"},
    };
    for (const Case& c : cases) {
        TimerForm form;
        form.service = kTf1;
        form.channel = "TF1";
        form.year = c.year;
        form.month = c.month;
        form.day = c.day;
        form.startHour = c.startHour;
        form.startMinute = c.startMinute;
        form.endHour = c.endHour;
        form.endMinute = c.endMinute;
        form.repeat = c.repeat;
        const auto result = TimerFromForm(form, now, kParis);
        if (const Timer* t = std::get_if<Timer>(&result)) {
            EXPECT_EQ(LocalText(t->start), c.start) << c.name;
            EXPECT_EQ(LocalText(t->end), c.end) << c.name;
            EXPECT_EQ(t->title, "TF1") << c.name;
        } else {
            EXPECT_EQ(std::get<std::string>(result).rfind(c.start, 0), 0u) << c.name << ": " << std::get<std::string>(result);
        }
    }
    const TimerRow row = RowOf(MakeTimer(Paris(2026, 12, 11, 20, 0), 90), kParis);
    EXPECT_EQ(row.day + " " + row.start + " " + row.end + " " + row.state, "ven. 11/12/2026 20:00 21:30 Pr\u00e9vu");
}

}  // namespace
