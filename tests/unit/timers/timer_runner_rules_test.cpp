// The runner's rules: the room a recording needs, the wait before a wake, and
// how the guide's present programme turns into the watch of an overrun.
#include <gtest/gtest.h>

#include "record/timers/timer_runner_rules.h"

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
