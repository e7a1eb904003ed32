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

// A tuner and its sections, and a dialog, that write down every call in one log.
struct FakeAir : ScanSource, ScanProgress {
    std::map<std::int32_t, Sections> air;
    std::map<std::int32_t, SignalReport> reports;  // missing: Unknown
    std::int32_t tuned = 0;
    std::vector<std::string> log;

    void Tune(std::int32_t f) override
    {
        tuned = f;
        log.push_back("tune " + std::to_string(f));
    }
    SignalReport AwaitSignal() override
    {
        log.push_back("signal");
        const auto it = reports.find(tuned);
        return it == reports.end() ? SignalReport::Unknown : it->second;
    }
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
        fake.reports[f] = fake.air.count(f) ? SignalReport::Present : SignalReport::Absent;

    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies(kCity, fake, fake, list, nit);

    EXPECT_EQ(fake.Only("range"), (std::vector<std::string>{"range 6"}));
    EXPECT_EQ(fake.Only("position"), (std::vector<std::string>{"position 0", "position 1", "position 2",
                                                               "position 3", "position 4", "position 5"}));
    EXPECT_EQ(fake.Only("name"), (std::vector<std::string>{"name Un", "name Deux", "name Trois", "name Cinq",
                                                           "name Six", "name Sept", "name Huit"}));
    EXPECT_EQ(fake.Only("ask 10/40"), (std::vector<std::string>(3, "ask 10/40 10000")));
    EXPECT_EQ(nit, (fake.air[498166][{0x10, 0x40}]));
    EXPECT_EQ(list.size(), 8u);

    // A silent frequency is left after the signal report: no SDT is asked there.
    const auto at = std::find(fake.log.begin(), fake.log.end(), "tune 522166");
    ASSERT_NE(at, fake.log.end());
    EXPECT_EQ(std::vector<std::string>(at, at + 3),
              (std::vector<std::string>{"tune 522166", "signal", "position 4"}));
    EXPECT_EQ(fake.Only("tune").size(), 6u);  // no second pass: channels were found
}

TEST(ScanAllFrequencies, WithoutStatisticsEveryFrequencyWaitsForItsSdt)
{
    FakeAir fake;  // every report Unknown
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies({474166, 482166}, fake, fake, list, nit);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"range 2", "position 0", "tune 474166", "signal", "ask 11/42 5000",
                                                  "position 1", "tune 482166", "signal", "ask 11/42 5000"}));
    EXPECT_TRUE(list.empty());
}

TEST(ScanAllFrequencies, NothingFoundAfterSkipsScansTheSkippedFrequenciesAgainWithoutTheLockReport)
{
    FakeAir fake;
    fake.air[482166] = TwoServices(1, "Un", "Deux");
    fake.reports[474166] = SignalReport::Absent;
    fake.reports[482166] = SignalReport::Absent;  // wrong: the multiplex is there
    fake.reports[498166] = SignalReport::Present;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies({474166, 482166, 498166}, fake, fake, list, nit);

    const std::vector<std::string> second(std::find(fake.log.begin(), fake.log.end(), "range 2"), fake.log.end());
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(std::vector<std::string>(second.begin(), second.begin() + 4),
              (std::vector<std::string>{"range 2", "position 0", "tune 474166", "ask 11/42 5000"}));
    EXPECT_EQ(std::count(second.begin(), second.end(), "signal"), 0);
    EXPECT_EQ(fake.Only("name"), (std::vector<std::string>{"name Un", "name Deux"}));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].Frequence, 482166);
    EXPECT_EQ(list[1].Video, 0x201);
}

TEST(ScanAllFrequencies, NothingFoundAndNothingSkippedEndsAfterOnePass)
{
    FakeAir fake;
    fake.reports[474166] = SignalReport::Present;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ScanAllFrequencies({474166}, fake, fake, list, nit);
    EXPECT_EQ(fake.Only("range"), (std::vector<std::string>{"range 1"}));
    EXPECT_TRUE(list.empty());
}

}  // namespace
