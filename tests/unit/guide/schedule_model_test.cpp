// The schedule as sections come and go: versions, overlaps, purge; and the
// broadcast clock of the TDT and TOT.
#include <gtest/gtest.h>

#include <optional>

#include "channels/psi/crc32.h"
#include "guide/schedule/broadcast_clock.h"
#include "guide/schedule/schedule_model.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

constexpr ServiceKey kService{0x20FA, 1, 0x0101};
constexpr std::int64_t kNine = 1796806800;  // 2026-12-09T09:00:00Z

ScheduleEvent Ev(std::uint16_t id, std::int64_t start, std::int32_t minutes)
{
    ScheduleEvent e;
    e.eventId = id;
    e.start = start;
    e.duration = minutes * 60;
    return e;
}

EitSection Section(std::uint8_t table, std::uint8_t number, std::uint8_t version, std::vector<ScheduleEvent> events)
{
    EitSection s;
    s.tableId = table;
    s.service = kService;
    s.sectionNumber = number;
    s.version = version;
    s.events = std::move(events);
    return s;
}

std::vector<std::uint16_t> Ids(const std::vector<ScheduleEvent>& events)
{
    std::vector<std::uint16_t> ids;
    for (const auto& e : events)
        ids.push_back(e.eventId);
    return ids;
}

struct ModelCase {
    const char* name;
    std::vector<EitSection> sections;
    std::vector<bool> changed;
    std::vector<std::uint16_t> ids;
};

class ModelTest : public testing::TestWithParam<ModelCase> {};

TEST_P(ModelTest, KeepsTheLatestScheduleWithoutOverlap)
{
    ScheduleModel model;
    for (std::size_t i = 0; i < GetParam().sections.size(); ++i)
        EXPECT_EQ(model.Apply(GetParam().sections[i]), GetParam().changed[i]) << "section " << i;
    EXPECT_EQ(Ids(model.Events(kService)), GetParam().ids);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, ModelTest,
    testing::Values(
        ModelCase{"sections_join_by_start",
                  {Section(0x50, 8, 0, {Ev(3, kNine + 7200, 60)}), Section(0x50, 0, 0, {Ev(1, kNine, 60), Ev(2, kNine + 3600, 60)})},
                  {true, true},
                  {1, 2, 3}},
        ModelCase{"same_version_changes_nothing",
                  {Section(0x50, 0, 0, {Ev(1, kNine, 60)}), Section(0x50, 0, 0, {Ev(9, kNine, 30)})},
                  {true, false},
                  {1}},
        ModelCase{"new_version_replaces_only_its_section",
                  {Section(0x50, 0, 0, {Ev(1, kNine, 60), Ev(2, kNine + 3600, 60)}),
                   Section(0x50, 1, 0, {Ev(5, kNine + 7200, 60)}), Section(0x50, 0, 1, {Ev(4, kNine + 1800, 90)})},
                  {true, true, true},
                  {4, 5}},
        ModelCase{"latest_heard_wins_an_overlap",
                  {Section(0x50, 0, 0, {Ev(1, kNine, 60)}), Section(0x4E, 0, 0, {Ev(7, kNine + 1800, 60)})},
                  {true, true},
                  {7}},
        ModelCase{"present_following_and_schedule_share_an_event",
                  {Section(0x50, 0, 0, {Ev(1, kNine, 60), Ev(2, kNine + 3600, 60)}),
                   Section(0x4E, 0, 0, {Ev(1, kNine, 60)})},
                  {true, true},
                  {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScheduleModel, PurgesEventsEndedMoreThanAnHourAgo)
{
    ScheduleModel model;
    model.Apply(Section(0x50, 0, 0, {Ev(1, kNine, 60), Ev(2, kNine + 3600, 60), Ev(3, kNine + 7200, 60)}));
    // At 12:30, the 09:00-10:00 event ended 2 h 30 ago, the 10:00-11:00 one 1 h 30 ago.
    EXPECT_EQ(model.Purge(kNine + 3 * 3600 + 1800), 2u);
    EXPECT_EQ(Ids(model.Events(kService)), (std::vector<std::uint16_t>{3}));
}

// --- the broadcast clock ---

Bytes Time(std::uint16_t mjd, std::uint8_t h, std::uint8_t m, std::uint8_t s)
{
    return {static_cast<std::uint8_t>(mjd >> 8), static_cast<std::uint8_t>(mjd), h, m, s};
}

Bytes Offset(const std::string& country, std::uint8_t polarity, std::uint16_t now, const Bytes& change, std::uint16_t next)
{
    Bytes b = Text(country);
    b.push_back(static_cast<std::uint8_t>(0x02 | polarity));
    Put16(b, now);
    Append(b, change);
    Put16(b, next);
    return b;
}

// A TOT: short form with a CRC_32.
Bytes Tot(const Bytes& utc, const Bytes& descriptors, bool breakCrc = false)
{
    Bytes s{0x73};
    PutLength(s, 5 + 2 + descriptors.size() + 4, 0x70);
    Append(s, utc);
    PutLength(s, descriptors.size());
    Append(s, descriptors);
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size()) ^ (breakCrc ? 1u : 0u);
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<std::uint8_t>(crc >> shift));
    return s;
}

struct ClockCase {
    const char* name;
    Bytes section;
    ClockSectionStatus status;
    std::int64_t utc;
    std::optional<int> offsetBefore, offsetAfter;  // around 2027-03-28T01:00Z
};

class ClockTest : public testing::TestWithParam<ClockCase> {};

TEST_P(ClockTest, ReadsTimeAndFranceOffset)
{
    const ClockCase& c = GetParam();
    BroadcastTime t;
    ASSERT_EQ(ParseTimeSection(c.section.data(), c.section.size(), t), c.status);
    if (c.status != ClockSectionStatus::Ok)
        return;
    EXPECT_EQ(t.utc, c.utc);
    ASSERT_EQ(t.france.has_value(), c.offsetBefore.has_value());
    if (t.france) {
        constexpr std::int64_t kChange = 1806195600;  // 2027-03-28T01:00:00Z
        EXPECT_EQ(OffsetAt(*t.france, kChange - 1), *c.offsetBefore);
        EXPECT_EQ(OffsetAt(*t.france, kChange), *c.offsetAfter);
    }
}

const Bytes kNoon = Time(61383, 0x12, 0x00, 0x00);  // 2026-12-09T12:00:00Z
const Bytes kSpring = Time(61492, 0x01, 0x00, 0x00);  // 2027-03-28T01:00:00Z
constexpr std::int64_t kNoonUtc = 1796817600;

INSTANTIATE_TEST_SUITE_P(
    Sections, ClockTest,
    testing::Values(
        ClockCase{"tdt", ShortSection(0x70, kNoon), ClockSectionStatus::Ok, kNoonUtc, {}, {}},
        ClockCase{"tdt_not_bcd", ShortSection(0x70, Time(61383, 0x1A, 0, 0)), ClockSectionStatus::Damaged, 0, {}, {}},
        ClockCase{"tdt_cut", Bytes{0x70, 0x70, 0x05, 0xEF, 0x27}, ClockSectionStatus::Damaged, 0, {}, {}},
        ClockCase{"tot_france_among_others",
                  Tot(kNoon, Descriptor(0x58, Concat({Offset("GBR", 0, 0x0000, kSpring, 0x0100),
                                                      Offset("FRA", 0, 0x0100, kSpring, 0x0200)}))),
                  ClockSectionStatus::Ok, kNoonUtc, 60, 120},
        ClockCase{"tot_west_of_greenwich", Tot(kNoon, Descriptor(0x58, Offset("FRA", 1, 0x0330, kSpring, 0x0230))),
                  ClockSectionStatus::Ok, kNoonUtc, -210, -150},
        ClockCase{"tot_offset_not_bcd_keeps_the_time",
                  Tot(kNoon, Descriptor(0x58, Offset("FRA", 0, 0x01A0, kSpring, 0x0200))), ClockSectionStatus::Ok,
                  kNoonUtc, {}, {}},
        ClockCase{"tot_bad_crc", Tot(kNoon, Descriptor(0x58, Offset("FRA", 0, 0x0100, kSpring, 0x0200)), true),
                  ClockSectionStatus::Damaged, 0, {}, {}},
        ClockCase{"tot_descriptor_cut", Tot(kNoon, Bytes{0x58, 13, 'F', 'R', 'A'}), ClockSectionStatus::Ok, kNoonUtc,
                  {}, {}},
        ClockCase{"not_a_clock", OneServiceSdt(1, 1, "A"), ClockSectionStatus::NotClock, 0, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
