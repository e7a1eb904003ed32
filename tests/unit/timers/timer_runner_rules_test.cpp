// The runner's rules: the room a recording needs, the wait before a wake, how
// the guide's present programme turns into the watch of an overrun, the reason
// a failed write gives, and when a sleeping PC is woken to record.
#include <gtest/gtest.h>

#include "record/timers/scheduler.h"
#include "record/timers/timer_runner_rules.h"
#include "record/timers/wake_alarm.h"

namespace {

TEST(TimerRunnerRules, ExpectedBytesCountTheAssumedRateUnlessOneIsMeasured)
{
    struct Case {
        std::int64_t seconds, rate;
        std::uint64_t bytes;
    } cases[] = {
        {3600, 0, 3'600'000'000ULL},          // an hour at 8 Mbit/s
        {60, 4'000'000, 30'000'000ULL},       // a measured rate
        {60, -5, 60'000'000ULL},              // nonsense rate: the assumed one
        {0, 0, 0},                            // nothing left of the window
        {-30, 0, 0},
        {10 * 86400, 0, 864'000'000'000ULL},  // long windows do not overflow
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpectedRecordingBytes(c.seconds, c.rate), c.bytes) << c.seconds << " s at " << c.rate;
}

TEST(TimerRunnerRules, WakeDelayLandsJustPastTheSecondAndIsCapped)
{
    struct Case {
        std::int64_t wake, nowMs;
        std::uint32_t cap, delay;
    } cases[] = {
        {100, 97'000, 600'000, 3'050},      // three seconds ahead
        {100, 99'990, 600'000, 60},         // just before
        {100, 100'000, 600'000, 50},        // on the second itself
        {100, 100'060, 600'000, 0},         // already past: at once
        {100, 500'000, 600'000, 0},         // long past (a PC that slept)
        {100'000, 0, 600'000, 600'000},     // far ahead: looked at again later
    };
    for (const Case& c : cases)
        EXPECT_EQ(WakeDelayMs(c.wake, c.nowMs, c.cap), c.delay) << c.wake << " at " << c.nowMs;
}

TEST(TimerRunnerRules, GuideLooksTurnIntoTheProgrammesWatch)
{
    using P = EventWatch::Presence;
    const std::int64_t end = 10'000;
    struct Case {
        const char* name;
        EventWatch previous;
        GuideSight sight;
        std::int64_t now;
        P presence;
        std::int64_t leftAt;
    } cases[] = {
        {"on the air", {}, GuideSight::Ours, 9'000, P::Present, 0},
        {"still on the air past its end", {P::Present, 0}, GuideSight::Ours, 10'600, P::Present, 0},
        {"gone after its end", {P::Present, 0}, GuideSight::Other, 10'900, P::Left, 10'900},
        {"gone, guide silent", {P::Present, 0}, GuideSight::Nothing, 10'900, P::Left, 10'900},
        {"left stays left at its first moment", {P::Left, 10'900}, GuideSight::Other, 11'500, P::Left, 10'900},
        {"back on the air", {P::Left, 10'900}, GuideSight::Ours, 11'000, P::Present, 0},
        {"never seen, another on before the end", {}, GuideSight::Other, 9'000, P::Unknown, 0},
        {"never seen, another on after the end", {}, GuideSight::Other, 10'100, P::Left, end},
        {"no guide at all", {}, GuideSight::Nothing, 12'000, P::Unknown, 0},
    };
    for (const Case& c : cases) {
        const EventWatch watch = NextEventWatch(c.previous, c.sight, end, c.now);
        EXPECT_EQ(watch.presence, c.presence) << c.name;
        EXPECT_EQ(watch.leftAt, c.leftAt) << c.name;
    }
}

}  // namespace

TEST(TimerRunnerRules, ARecordingShortOfRoomSaysSoInTheList)
{
    Timer t;
    t.state = TimerState::Recording;
    EXPECT_EQ(StateText(t), "En cours");
    t.detail = kReasonSpaceShort;
    EXPECT_EQ(StateText(t), "En cours : Espace insuffisant");
    t.detail = kReasonInterrupted;  // a resumption keeps its reason for the end
    EXPECT_EQ(StateText(t), "En cours");
}

TEST(TimerRunnerRules, AFailedWriteEndsTheTimerWithItsReasonInTheList)
{
    struct Case {
        unsigned long code;
        const char* state;
    } cases[] = {
        {112, "\u00c9chec : Espace insuffisant"},  // the disk is full
        {39, "\u00c9chec : Espace insuffisant"},   // the same, said by the handle
        {5, "\u00c9chec : \u00e9criture impossible (acc\u00e8s refus\u00e9 (dossier en lecture seule ou droits "
            "insuffisants))"},
        {21, "\u00c9chec : \u00e9criture impossible (le lecteur n'est pas disponible)"},  // a drive unplugged
        {1617, "\u00c9chec : \u00e9criture impossible (le lecteur n'est pas disponible)"},
        {1117, "\u00c9chec : \u00e9criture impossible (erreur syst\u00e8me 1117)"},  // an I/O error
    };
    for (const Case& c : cases) {
        Timer t;
        t.state = TimerState::Recording;
        t.detail = kReasonInterrupted;  // a resumption's reason gives way to the failure
        FinishTimer(t, WriteFailureReason(c.code));
        EXPECT_EQ(StateText(t), c.state) << c.code;
    }
}

namespace {

Timer Waiting(std::int64_t start, int marginBefore, TimerState state = TimerState::Planned,
              Repeat repeat = Repeat::Once)
{
    Timer t;
    t.start = start;
    t.end = start + 3600;
    t.marginBefore = marginBefore;
    t.marginAfter = 10;
    t.state = state;
    t.repeat = repeat;
    return t;
}

}  // namespace

TEST(TimerRunnerRules, APcIsWokenTwoMinutesBeforeTheNextWindowOpens)
{
    const std::int64_t now = 1'800'000'000;  // 2027-01-15 08:00 UTC
    struct Case {
        const char* name;
        std::vector<Timer> timers;
        std::optional<std::int64_t> at;
    } cases[] = {
        {"no timer", {}, std::nullopt},
        {"one in an hour, no margin", {Waiting(now + 3600, 0)}, now + 3600 - 120},
        {"its margin opens the window earlier", {Waiting(now + 3600, 5)}, now + 3600 - 300 - 120},
        {"the soonest of several",
         {Waiting(now + 7200, 2), Waiting(now + 3600, 2, TimerState::Conflict), Waiting(now + 9000, 0)},
         now + 3600 - 120 - 120},
        {"inside the two minutes: at the opening", {Waiting(now + 60, 0)}, now + 60},
        {"due already: nothing to wake for", {Waiting(now - 30, 0)}, std::nullopt},
        {"one recording is awake by itself",
         {Waiting(now - 600, 0, TimerState::Recording), Waiting(now + 3600, 0)}, now + 3600 - 120},
        {"finished once-only timers wait for nothing",
         {Waiting(now - 7200, 0, TimerState::Done), Waiting(now - 7200, 0, TimerState::Missed)}, std::nullopt},
        {"a daily timer done today wakes for tomorrow",
         {Waiting(now - 7200, 2, TimerState::Done, Repeat::Daily)}, now - 7200 + 86400 - 120 - 120},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResumeTime(c.timers, now, EuropeParis()), c.at) << c.name;
}

TEST(TimerRunnerRules, TheWakeAlarmFollowsTheTimersAsTheyChange)
{
    struct Alarm : WakeAlarm {
        bool Set(std::int64_t pcTime) override
        {
            calls.push_back(pcTime);
            return accept;
        }
        void Cancel() override { calls.push_back(-1); }
        std::vector<std::int64_t> calls;  // -1 for a cancel
        bool accept = true;
    } alarm;
    ResumeKeeper keeper(alarm);
    const std::int64_t now = 1'800'000'000;
    const TimeZoneRule& zone = EuropeParis();
    std::vector<Timer> timers;
    auto step = [&](std::int64_t programMinusPc = 0) {
        keeper.Follow(timers, now, programMinusPc, zone);
        std::vector<std::int64_t> made;
        made.swap(alarm.calls);
        return made;
    };
    using Calls = std::vector<std::int64_t>;

    EXPECT_EQ(step(), Calls{}) << "nothing set, nothing to cancel";
    timers.push_back(Waiting(now + 3600, 0));
    EXPECT_EQ(step(), Calls{now + 3480}) << "a timer set";
    EXPECT_EQ(step(), Calls{}) << "another change that does not move the next start";
    timers.push_back(Waiting(now + 1800, 0));
    EXPECT_EQ(step(), Calls{now + 1680}) << "an earlier timer";
    EXPECT_EQ(step(-90), Calls{now + 1770}) << "the PC's clock 90 s ahead of the broadcast's";
    timers.pop_back();
    EXPECT_EQ(step(), Calls{now + 3480}) << "the earlier one removed";
    timers.front().state = TimerState::Recording;
    EXPECT_EQ(step(), Calls{-1}) << "recording: the PC is kept awake instead";
    EXPECT_EQ(keeper.Armed(), std::nullopt);

    timers.front().state = TimerState::Planned;
    alarm.accept = false;
    EXPECT_EQ(step(), Calls{now + 3480}) << "a PC that cannot resume refuses";
    EXPECT_EQ(keeper.Armed(), std::nullopt);
    alarm.accept = true;
    EXPECT_EQ(step(), Calls{now + 3480}) << "tried again at the next change";
    keeper.Stop();
    EXPECT_EQ(alarm.calls, Calls{-1}) << "the program ends";
}
