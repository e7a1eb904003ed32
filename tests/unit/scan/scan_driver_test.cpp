#include "channels/scan_driver.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/sections.h"

namespace {

using namespace tstest;

using Sections = std::map<std::pair<unsigned, unsigned>, Bytes>;  // (pid, table_id) -> section

Sections TwoServices(unsigned tsid, const std::string& first, const std::string& second)
{
    Sections s;
    s[{0x11, 0x42}] = Sdt(tsid, 0x20FA, {Service(1, "P", first), Service(2, "P", second)});
    s[{0x00, 0x00}] = Pat(tsid, {{1, 0x100}, {2, 0x200}});
    s[{0x100, 0x02}] = Pmt(1, 0x101, {{0x02, 0x101, {}}, {0x03, 0x102, {}}});
    s[{0x200, 0x02}] = Pmt(2, 0x201, {{0x02, 0x201, {}}, {0x03, 0x202, {}}});
    return s;
}

// When a tuner reports a carrier and a lock, in milliseconds after tuning (-1: never).
struct Signal {
    int presentAt;
    int lockedAt;
};
constexpr Signal kLocksAtOnce{0, 0};
constexpr Signal kNoCarrier{-1, -1};

// A tuner and its sections, and a dialog, that write down every call in one log.
// Time passes only in the scan's pauses.
struct FakeAir : ScanSource, ScanProgress {
    std::map<std::int32_t, Sections> air;
    std::map<std::int32_t, Signal> signals;  // missing: statistics not readable
    std::int32_t tuned = 0;
    std::vector<std::string> log;
    std::vector<std::uint32_t> lockWaits;  // per tuning: the time paused before the tables or the skip

    void Tune(std::int32_t f) override
    {
        tuned = f;
        lockWaits.push_back(0);
        log.push_back("tune " + std::to_string(f));
    }
    SignalReading ReadSignal() override
    {
        const auto it = signals.find(tuned);
        if (it == signals.end())
            return {};
        const auto since = [this](int at) { return at >= 0 && lockWaits.back() >= static_cast<std::uint32_t>(at); };
        return {true, since(it->second.lockedAt), since(it->second.presentAt)};
    }
    void Pause(std::uint32_t ms) override
    {
        lockWaits.back() += ms;
        clock += ms;
    }
    std::uint64_t NowMs() override { return clock; }
    std::uint64_t clock = 1000000;
    bool RequestSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                        std::vector<std::uint8_t>& section) override
    {
        char text[40];
        std::snprintf(text, sizeof text, "ask %X/%X %u", pid, tableId, static_cast<unsigned>(timeoutMs));
        log.push_back(text);
        const Sections& s = air[tuned];
        const auto it = s.find({pid, tableId});
        if (it == s.end())
            return false;
        section = it->second;
        return true;
    }
    void SetRange(std::size_t n) override { log.push_back("range " + std::to_string(n)); }
    void SetPosition(std::size_t i) override { log.push_back("position " + std::to_string(i)); }
    void AddName(const Chaine& c) override { log.push_back(std::string("name ") + c.Nom); }

    // The log lines that start with `prefix`.
    std::vector<std::string> Only(const std::string& prefix) const
    {
        std::vector<std::string> lines;
        for (const std::string& line : log)
            if (line.rfind(prefix, 0) == 0)
                lines.push_back(line);
        return lines;
    }
};

// terrestrial_delivery_system_descriptor placing a stream at `kHz`.
Bytes DeliveryAt(std::int32_t kHz)
{
    const auto tens = static_cast<std::uint32_t>(kHz) * 100;
    return Descriptor(0x5A, {static_cast<std::uint8_t>(tens >> 24), static_cast<std::uint8_t>(tens >> 16),
                             static_cast<std::uint8_t>(tens >> 8), static_cast<std::uint8_t>(tens), 0x1F, 0x81,
                             0x0A, 0xFF, 0xFF, 0xFF, 0xFF});
}

const std::vector<std::int32_t> kCity{474166, 482166, 498166, 522166, 546166, 562166};

TEST(ScanAllFrequencies, SkipsSilentFrequenciesAsksTheNitUntilCapturedAndShowsProgressAndNames)
{
    FakeAir fake;
    fake.air[474166] = TwoServices(1, "Un", "Deux");
    fake.air[482166] = TwoServices(2, "Trois", "");  // a nameless service is kept but not shown
    fake.air[498166] = TwoServices(3, "Cinq", "Six");
    fake.air[498166][{0x10, 0x40}] = Nit(0x20FA, {});
    fake.air[546166] = TwoServices(4, "Sept", "Huit");
    for (std::int32_t f : kCity)
        fake.signals[f] = fake.air.count(f) ? kLocksAtOnce : kNoCarrier;

    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies(kCity, ScanWaits{}, fake, fake, list, nit);

    EXPECT_EQ(fake.Only("range"), (std::vector<std::string>{"range 6"}));
    EXPECT_EQ(fake.Only("position"), (std::vector<std::string>{"position 0", "position 1", "position 2",
                                                               "position 3", "position 4", "position 5"}));
    EXPECT_EQ(fake.Only("name"), (std::vector<std::string>{"name Un", "name Deux", "name Trois", "name Cinq",
                                                           "name Six", "name Sept", "name Huit"}));
    EXPECT_EQ(fake.Only("ask 10/40"), (std::vector<std::string>(3, "ask 10/40 10000")));
    EXPECT_EQ(nit, (fake.air[498166][{0x10, 0x40}]));
    EXPECT_EQ(list.size(), 8u);

    // A silent frequency is left a second after tuning: no SDT is asked there.
    const auto at = std::find(fake.log.begin(), fake.log.end(), "tune 522166");
    ASSERT_NE(at, fake.log.end());
    EXPECT_EQ(std::vector<std::string>(at, at + 2), (std::vector<std::string>{"tune 522166", "position 4"}));
    EXPECT_EQ(fake.lockWaits, (std::vector<std::uint32_t>{0, 0, 0, 1000, 0, 1000}));
    EXPECT_EQ(fake.Only("tune").size(), 6u);  // no second pass: the NIT announces no other place
}

TEST(ScanAllFrequencies, WithoutStatisticsEveryFrequencyWaitsForItsSdt)
{
    FakeAir fake;  // no statistics
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies({474166, 482166}, ScanWaits{}, fake, fake, list, nit);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"range 2", "position 0", "tune 474166", "ask 11/42 5000",
                                                  "position 1", "tune 482166", "ask 11/42 5000"}));
    EXPECT_EQ(fake.lockWaits, (std::vector<std::uint32_t>{0, 0}));
    EXPECT_TRUE(list.empty());
}

TEST(ScanAllFrequencies, NothingFoundAfterSkipsScansTheSkippedFrequenciesAgainWithoutTheLockReport)
{
    FakeAir fake;
    fake.air[482166] = TwoServices(1, "Un", "Deux");
    fake.signals[474166] = kNoCarrier;
    fake.signals[482166] = kNoCarrier;  // wrong: the multiplex is there
    fake.signals[498166] = kLocksAtOnce;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies({474166, 482166, 498166}, ScanWaits{}, fake, fake, list, nit);

    const std::vector<std::string> second(std::find(fake.log.begin(), fake.log.end(), "range 2"), fake.log.end());
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(std::vector<std::string>(second.begin(), second.begin() + 4),
              (std::vector<std::string>{"range 2", "position 0", "tune 474166", "ask 11/42 5000"}));
    // The second pass asks the tuner nothing: no time is spent waiting for a lock.
    EXPECT_EQ(fake.lockWaits, (std::vector<std::uint32_t>{1000, 1000, 0, 0, 0}));
    EXPECT_EQ(fake.Only("name"), (std::vector<std::string>{"name Un", "name Deux"}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Frequence, 482166);
    EXPECT_EQ(list[1].Video, 0x201);
}

TEST(ScanAllFrequencies, NothingFoundAndNothingSkippedEndsAfterOnePass)
{
    FakeAir fake;
    fake.signals[474166] = kLocksAtOnce;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies({474166}, ScanWaits{}, fake, fake, list, nit);
    EXPECT_EQ(fake.Only("range"), (std::vector<std::string>{"range 1"}));
    EXPECT_TRUE(list.empty());
}

TEST(AwaitLock, WaitsForTheLockWhileACarrierIsThereAndGivesUpEarlyOnlyWithoutOne)
{
    const ScanWaits waits;  // 5000 ms for a lock, 1000 ms without a carrier, polled every 50 ms
    struct Case {
        const char* what;
        Signal signal;
        LockRule rule;
        bool asksSdt;
        std::uint32_t waited;
    } cases[] = {
        {"locks at once", kLocksAtOnce, LockRule::Trust, true, 0},
        {"carrier at once, slow lock", {0, 3000}, LockRule::Trust, true, 3000},
        {"carrier late, slow lock", {800, 4200}, LockRule::Trust, true, 4200},
        {"carrier that never locks: tables asked at the end", {0, -1}, LockRule::Trust, true, 5000},
        {"no carrier: skipped after a second", kNoCarrier, LockRule::Trust, false, 1000},
        {"carrier too late to keep the wait going", {1200, 1300}, LockRule::Trust, false, 1000},
        {"lock later than the whole wait", {0, 7000}, LockRule::Trust, true, 5000},
        {"full wait, no carrier: the whole wait, then the tables", kNoCarrier, LockRule::FullWait, true, 5000},
        {"full wait, carrier late", {1200, 1300}, LockRule::FullWait, true, 1300},
        {"tuner not asked", kNoCarrier, LockRule::Ignore, true, 0},
    };
    for (const Case& c : cases) {
        FakeAir fake;
        fake.signals[474166] = c.signal;
        ChannelList list;
        std::vector<std::uint8_t> nit;
        const bool skipped = ScanFrequency(474166, c.rule, waits, fake, list, nit);
        EXPECT_EQ(skipped, !c.asksSdt) << c.what;
        EXPECT_EQ(fake.Only("ask 11/42").size(), c.asksSdt ? 1u : 0u) << c.what;
        EXPECT_EQ(fake.lockWaits, std::vector<std::uint32_t>{c.waited}) << c.what;
    }
}

TEST(NextPauseMs, ThePollIsCutShortToFallOnTheNextDecision)
{
    const ScanWaits waits;  // 5000, 1000, 50
    struct Case {
        std::uint32_t elapsed;
        bool early;
        std::uint32_t pause;
    } cases[] = {{0, true, 50}, {980, true, 20}, {980, false, 50}, {1000, true, 50},
                 {4990, true, 10}, {4990, false, 10}, {5000, false, 50}};
    for (const Case& c : cases)
        EXPECT_EQ(NextPauseMs(c.elapsed, waits, c.early), c.pause) << c.elapsed << (c.early ? " early" : "");
    EXPECT_EQ(NextPauseMs(0, ScanWaits{5000, 1000, 0}, true), 1u);  // a zero poll would spin
}

TEST(AwaitLock, UnreadableStatisticsOrAZeroWaitDoNotStall)
{
    FakeAir fake;
    fake.Tune(474166);
    EXPECT_TRUE(AwaitLock(fake, ScanWaits{}, true));  // no statistics: scan at once
    fake.signals[474166] = kNoCarrier;
    EXPECT_FALSE(AwaitLock(fake, ScanWaits{0, 0, 0}, true));
    fake.signals[474166] = {0, -1};
    EXPECT_TRUE(AwaitLock(fake, ScanWaits{0, 0, 0}, true));
    EXPECT_EQ(fake.lockWaits, std::vector<std::uint32_t>{0});
}

TEST(ScanAllFrequencies, SlowLocksAreWaitedForAndSkippedMultiplexesOfTheNitAreScannedAgain)
{
    FakeAir fake;
    fake.air[474166] = TwoServices(1, "Un", "Deux");
    fake.air[474166][{0x10, 0x40}] =
        Nit(0x20FA, {{1, 0x20FA, DeliveryAt(474166)}, {2, 0x20FA, DeliveryAt(482166)}, {3, 0x20FA, DeliveryAt(498000)},
                     {4, 0x20FA, DeliveryAt(530166)}});
    fake.air[482166] = TwoServices(2, "Trois", "Quatre");
    fake.air[498166] = TwoServices(3, "Cinq", "Six");
    fake.signals[474166] = {0, 2500};   // slow, within the wait
    fake.signals[482166] = {-1, -1};    // no carrier reported on the first look: the tuner was wrong
    fake.signals[498166] = {1500, 1600};  // carrier too late for the first look
    fake.signals[522166] = kNoCarrier;  // really silent, and not in the NIT
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies({474166, 482166, 498166, 522166}, ScanWaits{}, fake, fake, list, nit);

    EXPECT_EQ(fake.Only("tune"), (std::vector<std::string>{"tune 474166", "tune 482166", "tune 498166", "tune 522166",
                                                            "tune 482166", "tune 498166"}));
    EXPECT_EQ(fake.lockWaits, (std::vector<std::uint32_t>{2500, 1000, 1000, 1000, 5000, 1600}));
    EXPECT_EQ(fake.Only("range"), (std::vector<std::string>{"range 4", "range 2"}));
    EXPECT_EQ(fake.Only("name"), (std::vector<std::string>{"name Un", "name Deux", "name Trois", "name Quatre",
                                                           "name Cinq", "name Six"}));
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[2].Frequence, 482166);
    EXPECT_EQ(list[5].Video, 0x201);
}

}  // namespace
