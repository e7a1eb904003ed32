// The schedule and clock tables tsgen writes, read back by the program's own
// parsers: segments and sections where EN 300 468 puts them, long texts whole,
// France's offsets on both sides of a change.
#include <gtest/gtest.h>

#include <set>

#include "guide/schedule/broadcast_clock.h"
#include "guide/schedule/eit_schedule_parser.h"
#include "guide/schedule/event_texts.h"
#include "tools/tsgen/clock_tables.h"
#include "tools/tsgen/description_parser.h"
#include "tools/tsgen/muxer.h"
#include "tools/tsgen/schedule_tables.h"

namespace {

const char* const kDescription = R"(
broadcast clock=2026-12-09T14:00:00 seconds=2
repeat eit-schedule=1000 tdt=500 tot=1000
charset table=utf8
mux uhf=21 tsid=1 onid=0x20FA
service sid=0x101 name="Un" pmt=0x100
audio pid=0x111
event start=2026-12-08T23:00 duration=02:00 title="Nuit" genre=0x10 rating=10 hd=1
event start=2026-12-09T03:00 duration=00:10 title="Court" long="%LONG%"
event duration=00:10 title="Suivant" st=1 ad=1
event start=2026-12-14T21:00 duration=01:00 title="Cinquième jour" genre=0x23 rating=18 wide=1
)";

tsgen::Description Parse()
{
    std::string text = kDescription;
    std::string longText;
    for (int i = 0; i < 60; ++i)
        longText += "Été numéro " + std::to_string(i) + ", ";
    text.replace(text.find("%LONG%"), 6, longText);
    return tsgen::ParseDescription(text);
}

TEST(ScheduleTables, CarryEveryEventInItsSegmentAndSection)
{
    const tsgen::Description d = Parse();
    const auto& mux = d.multiplexes[0];
    const auto sections = tsgen::BuildEitSchedule(tsgen::kTableEitActualSchedule, mux, mux.services[0], d.clock);

    std::set<std::pair<int, int>> places;  // (table, section)
    std::vector<GuideEntry> events;
    for (const auto& s : sections) {
        EitSection parsed;
        ASSERT_EQ(ParseEitSection(s.data(), s.size(), parsed), EitSectionStatus::Ok);
        places.emplace(parsed.tableId, parsed.sectionNumber);
        EXPECT_EQ(parsed.lastTableId, 0x51);
        for (const auto& e : parsed.events)
            events.push_back(DecodeEvent(parsed.service, e));
    }
    // 23:00 the day before starts segment 0; 03:00 is segment 1 (sections 8
    // and 9: the long text fills one section of its own); 14 December is day 5, table 0x51,
    // segment (1 day × 8) + 7.
    EXPECT_EQ(places, (std::set<std::pair<int, int>>{{0x50, 0}, {0x50, 8}, {0x50, 9}, {0x51, 15 * 8}}));
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(FrenchGenre(events[0].content), "Film");
    EXPECT_EQ(FrenchAgeMark(events[0].minimumAge), "-10");
    EXPECT_EQ(events[0].flags, kFlagHighDefinition | kFlagWideScreen);
    EXPECT_TRUE(events[1].description.starts_with("Été numéro 0, "));
    EXPECT_NE(events[1].description.find("Été numéro 59, "), std::string::npos);
    EXPECT_GT(events[1].description.size(), 600u);  // more than two descriptors' worth
    EXPECT_EQ(events[2].flags, kFlagDeafSubtitles | kFlagAudioDescription);
    EXPECT_EQ(events[3].title, "Cinquième jour");
    EXPECT_EQ(FrenchAgeMark(events[3].minimumAge), "-18");
}

TEST(ClockTables, TellTheTimeAndFranceOffsetAroundItsChanges)
{
    struct Case {
        std::int64_t now;
        int offset;
        std::int64_t change;
        int next;
    };
    const Case cases[] = {
        {1796824800, 60, 1806195600, 120},   // 2026-12-09T14:00Z: winter, next 2027-03-28T01:00Z
        {1782900000, 120, 1792890000, 60},   // 2026-07-01T10:00Z: summer, next 2026-10-25T01:00Z
        {1774573200, 60, 1774746000, 120},   // 2026-03-27T01:00Z: the change is on the 29th
    };
    for (const Case& c : cases) {
        BroadcastTime t;
        const auto tdt = tsgen::BuildTdt(c.now);
        ASSERT_EQ(ParseTimeSection(tdt.data(), tdt.size(), t), ClockSectionStatus::Ok);
        EXPECT_EQ(t.utc, c.now);
        const auto tot = tsgen::BuildTot(c.now);
        ASSERT_EQ(ParseTimeSection(tot.data(), tot.size(), t), ClockSectionStatus::Ok);
        ASSERT_TRUE(t.france);
        EXPECT_EQ(t.france->minutes, c.offset) << c.now;
        EXPECT_EQ(t.france->nextMinutes, c.next) << c.now;
        EXPECT_EQ(t.france->changeTime, c.change) << c.now;
    }
}

TEST(ScheduleTables, AreSentOnlyWhenTheDescriptionAsksForThem)
{
    tsgen::Description d = Parse();
    auto pids = [&d]() {
        std::set<std::pair<int, int>> seen;  // (pid, table)
        tsgen::GenerateMultiplex(d, d.multiplexes[0], [&seen](std::uint16_t pid, const tsgen::Section& s) {
            seen.emplace(pid, s[0]);
        });
        return seen;
    };
    EXPECT_TRUE(pids().count({0x14, 0x70}));
    EXPECT_TRUE(pids().count({0x14, 0x73}));
    EXPECT_TRUE(pids().count({0x12, 0x51}));
    d.repeat.eitSchedule = d.repeat.tdt = d.repeat.tot = 0;
    for (const auto& [pid, table] : pids())
        EXPECT_TRUE(pid != 0x14 && table < 0x50) << pid << " " << table;
}

}  // namespace
