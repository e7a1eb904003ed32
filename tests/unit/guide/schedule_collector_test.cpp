// From sections to what the store is handed: batches of whole, decoded, named
// services; nothing re-sent for a repeated version; a flood that stays bounded;
// the broadcast clock against the PC's.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "channels/psi/crc32.h"
#include "guide/clock_difference.h"
#include "guide/schedule/schedule_collector.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

constexpr unsigned kMjd = 61383;  // 2026-12-09
constexpr std::int64_t kNoon = 1796817600;
constexpr ServiceKey kOne{0x20FA, 1, 0x0101};
constexpr ServiceKey kTwo{0x20FA, 1, 0x0102};

Bytes Title(const std::string& title) { return ShortEventDescriptor(Bytes(title.begin(), title.end()), {}); }

// One event a half hour long, `slot` half hours after noon.
EitEvent HalfHour(unsigned id, int slot, const std::string& title)
{
    const int minutes = 12 * 60 + slot * 30;
    const auto bcd = [](int v) { return static_cast<std::uint8_t>(v / 10 << 4 | v % 10); };
    return {id, kMjd, {bcd(minutes / 60), bcd(minutes % 60), 0}, {0x00, 0x30, 0x00}, Title(title)};
}

// `segmentLast`: the segment's last section number, this section's by default.
Bytes Section(std::uint8_t table, const ServiceKey& service, std::uint8_t version, std::uint8_t number,
              const std::vector<EitEvent>& events, int segmentLast = -1)
{
    Bytes body;
    for (unsigned v : {unsigned{service.tsid}, unsigned{service.onid}}) {
        body.push_back(static_cast<std::uint8_t>(v >> 8));
        body.push_back(static_cast<std::uint8_t>(v));
    }
    body.push_back(static_cast<std::uint8_t>(segmentLast < 0 ? number : segmentLast));
    body.push_back(table);
    for (const EitEvent& e : events)
        Append(body, EitEventBytes(e));
    Bytes s = LongSection(table, service.sid, body, version);
    s[6] = number;
    s[7] = number;
    s.resize(s.size() - 4);
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<std::uint8_t>(crc >> shift));
    return s;
}

std::vector<std::string> Titles(const GuideBatch& batch)
{
    std::vector<std::string> titles;
    for (const auto& e : batch.events)
        titles.push_back(e.title);
    return titles;
}

struct CollectCase {
    const char* name;
    std::vector<Bytes> sections;
    std::vector<bool> changed;
    std::vector<std::string> titles;  // of the batch taken after them
};

class CollectorSectionTest : public testing::TestWithParam<CollectCase> {};

TEST_P(CollectorSectionTest, HandsTheStoreWholeChangedServices)
{
    ScheduleCollector collector;
    collector.NameService(kOne, "Télé Démo");
    for (std::size_t i = 0; i < GetParam().sections.size(); ++i)
        EXPECT_EQ(collector.OnEitSection(GetParam().sections[i].data(), GetParam().sections[i].size()),
                  GetParam().changed[i])
            << "section " << i;
    const GuideBatch batch = collector.TakeBatch(1000);
    EXPECT_EQ(Titles(batch), GetParam().titles);
    EXPECT_FALSE(collector.HasPending());
}

const Bytes kMorning = Section(0x50, kOne, 1, 0, {HalfHour(1, 0, "Midi"), HalfHour(2, 1, "Suite")});
const Bytes kEvening = Section(0x50, kOne, 1, 8, {HalfHour(3, 12, "Soir")});

INSTANTIATE_TEST_SUITE_P(
    Sections, CollectorSectionTest,
    testing::Values(
        CollectCase{"two_segments_one_service", {kMorning, kEvening}, {true, true}, {"Midi", "Suite", "Soir"}},
        CollectCase{"a_repeated_version_is_no_news", {kMorning, kMorning}, {true, false}, {"Midi", "Suite"}},
        CollectCase{"a_new_version_replaces_its_section_only",
                    {kMorning, kEvening, Section(0x50, kOne, 2, 0, {HalfHour(1, 0, "Midi (change)")})},
                    {true, true, true},
                    {"Midi (change)", "Soir"}},
        CollectCase{"present_following_beside_the_schedule",
                    {Section(0x4E, kOne, 0, 0, {HalfHour(9, 0, "En cours")}), kEvening},
                    {true, true},
                    {"En cours", "Soir"}},
        CollectCase{"a_bad_crc_changes_nothing",
                    {[] {
                        Bytes b = kMorning;
                        b[b.size() - 1] ^= 1;
                        return b;
                    }()},
                    {false},
                    {}},
        CollectCase{"the_clock_is_no_eit", {ShortSection(0x70, {0xEF, 0xC7, 0x12, 0, 0})}, {false}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Section 32 opens the segment of noon to 15:00 UTC in a table of today.
constexpr std::uint8_t kNoonSection = 32;
constexpr std::int64_t kSegment = 3 * 3600;

struct SpanCase {
    const char* name;
    std::vector<Bytes> sections;
    std::vector<GuideSpan> spans;
};

void PrintTo(const SpanCase& c, std::ostream* os) { *os << c.name; }


class CollectorSpanTest : public testing::TestWithParam<SpanCase> {};

TEST_P(CollectorSpanTest, GivesTheStoreTheSegmentsHeardWhole)
{
    ScheduleCollector collector;
    for (const Bytes& s : GetParam().sections)
        collector.OnEitSection(s.data(), s.size());
    EXPECT_EQ(collector.TakeBatch(0).spans, GetParam().spans);
}

const Bytes kNoonWhole = Section(0x50, kOne, 1, kNoonSection, {HalfHour(1, 0, "Midi")});
const Bytes kNoonFirstOfTwo = Section(0x50, kOne, 1, kNoonSection, {HalfHour(1, 0, "Midi")}, kNoonSection + 1);
const Bytes kNoonSecondOfTwo = Section(0x50, kOne, 1, kNoonSection + 1, {HalfHour(2, 2, "Suite")}, kNoonSection + 1);

INSTANTIATE_TEST_SUITE_P(
    Segments, CollectorSpanTest,
    testing::Values(
        SpanCase{"one_section_segment", {kNoonWhole}, {{kOne, kNoon, kNoon + kSegment}}},
        SpanCase{"waiting_for_the_segment_second_section", {kNoonFirstOfTwo}, {}},
        SpanCase{"both_sections_held", {kNoonFirstOfTwo, kNoonSecondOfTwo}, {{kOne, kNoon, kNoon + kSegment}}},
        SpanCase{"sections_of_two_versions",
                 {kNoonFirstOfTwo, Section(0x50, kOne, 2, kNoonSection + 1, {HalfHour(2, 2, "Suite")}, kNoonSection + 1)},
                 {}},
        SpanCase{"an_empty_segment_placed_by_its_table",
                 {kNoonWhole, Section(0x50, kOne, 1, kNoonSection + 8, {})},
                 {{kOne, kNoon, kNoon + kSegment}, {kOne, kNoon + kSegment, kNoon + 2 * kSegment}}},
        SpanCase{"an_empty_table_gives_no_time", {Section(0x50, kOne, 1, kNoonSection, {})}, {}},
        SpanCase{"present_following_has_no_segments", {Section(0x4E, kOne, 1, 0, {HalfHour(1, 0, "Midi")})}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Collector, AnEventANewerVersionDropsLeavesTheStore)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "brisome-collector-dropped";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    {
        GuideStore store;
        ASSERT_EQ(store.Open(folder / "guide.db"), StoreOpenStatus::Opened);
        // From an earlier session: the evening, a segment not heard again yet.
        GuideEntry evening;
        evening.service = kOne;
        evening.eventId = 9;
        evening.start = kNoon + 6 * 3600;
        evening.stop = evening.start + 3600;
        evening.title = "Soir";
        ASSERT_TRUE(store.Write({{}, {evening}}));

        ScheduleCollector collector;
        const Bytes first = Section(0x50, kOne, 1, kNoonSection, {HalfHour(1, 0, "Midi"), HalfHour(2, 2, "Annulé")});
        const Bytes second = Section(0x50, kOne, 2, kNoonSection, {HalfHour(1, 0, "Midi")});
        for (const Bytes* s : {&first, &second}) {
            collector.OnEitSection(s->data(), s->size());
            ASSERT_TRUE(store.Write(collector.TakeBatch(0)));
        }
        std::vector<std::string> titles;
        for (const GuideEntry& e : store.Events())
            titles.push_back(e.title);
        EXPECT_EQ(titles, (std::vector<std::string>{"Midi", "Soir"}));
        EXPECT_TRUE(store.Search("annule", kNoon).empty());
    }
    std::filesystem::remove_all(folder);
}

TEST(Collector, NamesAServiceOnceAndOnlyFromTheChannelList)
{
    ScheduleCollector collector;
    collector.NameService(kOne, "Télé Démo");
    for (const Bytes& s : {kMorning, Section(0x50, kTwo, 0, 0, {HalfHour(5, 0, "Sans nom")})})
        collector.OnEitSection(s.data(), s.size());
    GuideBatch first = collector.TakeBatch(0);
    ASSERT_EQ(first.services.size(), 1u);
    EXPECT_EQ(first.services[0].key, kOne);
    EXPECT_EQ(first.services[0].name, "Télé Démo");
    EXPECT_EQ(first.events.size(), 3u);
    EXPECT_EQ(first.events[0].service, kOne);
    EXPECT_EQ(first.events[0].start, kNoon);

    const Bytes changed = Section(0x50, kOne, 2, 0, {HalfHour(1, 0, "Autre")});
    collector.OnEitSection(changed.data(), changed.size());
    EXPECT_TRUE(collector.TakeBatch(0).services.empty());
}

TEST(Collector, APresentEventHeardAfterTheScheduleKeepsTheScheduleDetails)
{
    // Present/following sections carry the short event alone; the schedule's
    // copy of the same event has the genre.
    EitEvent detailed = HalfHour(1, 0, "Midi");
    Append(detailed.descriptors, Descriptor(0x54, {0x10, 0x00}));
    EitEvent moved = HalfHour(1, 1, "Midi");
    Append(moved.descriptors, Descriptor(0x54, {0x10, 0x00}));
    const Bytes present = Section(0x4E, kOne, 0, 0, {HalfHour(1, 0, "Midi")});
    struct Case {
        const char* name;
        EitEvent scheduled;
        std::uint8_t content;
    };
    for (const Case& c : {Case{"same_start", detailed, 0x10}, Case{"another_start_is_another_event", moved, 0}}) {
        ScheduleCollector collector;
        const Bytes schedule = Section(0x50, kOne, 0, 0, {c.scheduled});
        collector.OnEitSection(schedule.data(), schedule.size());
        collector.OnEitSection(present.data(), present.size());
        const GuideBatch batch = collector.TakeBatch(0);
        ASSERT_EQ(batch.events.size(), 1u) << c.name;
        EXPECT_EQ(batch.events[0].start, kNoon) << c.name;
        EXPECT_EQ(batch.events[0].content, c.content) << c.name;
    }
}

TEST(Collector, BatchesCloseOnTheirSizeOrTheirAge)
{
    ScheduleCollector collector(3, 1000);
    EXPECT_FALSE(collector.BatchDue(5000));  // nothing waits
    collector.OnEitSection(kEvening.data(), kEvening.size());
    EXPECT_FALSE(collector.BatchDue(999));
    EXPECT_TRUE(collector.BatchDue(1000));
    collector.TakeBatch(1000);
    // Three events wait: due at once, and a batch stops after the service that
    // fills it, leaving the next service for the next batch.
    for (const Bytes& s : {kMorning, Section(0x50, kTwo, 0, 0, {HalfHour(5, 0, "A"), HalfHour(6, 1, "B")})})
        collector.OnEitSection(s.data(), s.size());
    EXPECT_TRUE(collector.BatchDue(1001));
    EXPECT_EQ(collector.TakeBatch(1001).events.size(), 3u);
    EXPECT_TRUE(collector.HasPending());
    EXPECT_EQ(Titles(collector.TakeBatch(1002)), (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(collector.HasPending());
}

TEST(Collector, AFloodOfChangingSectionsStaysBounded)
{
    // Tens of thousands of sections, each of a new service or a new version:
    // the model keeps a bounded number of services, a batch a bounded number of
    // events.
    ScheduleCollector collector(500, 1000);
    for (unsigned i = 0; i < 20000; ++i) {
        const ServiceKey service{0x20FA, static_cast<std::uint16_t>(i / 1000), static_cast<std::uint16_t>(i)};
        const Bytes s = Section(0x50, service, static_cast<std::uint8_t>(i & 0x1F), 0,
                                {HalfHour(i, 0, "Flot"), HalfHour(i + 1, 1, "Flot")});
        collector.OnEitSection(s.data(), s.size());
    }
    EXPECT_LE(collector.Model().Services().size(), 4096u);
    std::size_t batches = 0;
    while (collector.HasPending()) {
        EXPECT_LE(collector.TakeBatch(0).events.size(), 502u);
        ++batches;
    }
    EXPECT_LE(batches, 4096u * 2 / 500 + 1);
}

struct ClockCase {
    const char* name;
    Bytes section;
    std::int64_t pcNow;
    std::optional<std::int64_t> difference;
};

class CollectorClockTest : public testing::TestWithParam<ClockCase> {};

TEST_P(CollectorClockTest, MeasuresTheBroadcastClockAgainstThePc)
{
    ScheduleCollector collector;
    EXPECT_EQ(collector.OnClockSection(GetParam().section.data(), GetParam().section.size(), GetParam().pcNow),
              GetParam().difference.has_value());
    EXPECT_EQ(collector.ClockDifference(), GetParam().difference);
    EXPECT_EQ(collector.BroadcastNow(GetParam().pcNow), GetParam().pcNow + GetParam().difference.value_or(0));
    // A first clock is news for the store; none is not.
    EXPECT_EQ(collector.TakeClockChange(), GetParam().difference);
    EXPECT_EQ(collector.TakeClockChange(), std::nullopt);
}

const Bytes kNoonTdt = ShortSection(0x70, {0xEF, 0xC7, 0x12, 0x00, 0x00});

INSTANTIATE_TEST_SUITE_P(
    Sections, CollectorClockTest,
    testing::Values(ClockCase{"pc_on_time", kNoonTdt, kNoon, 0},
                    ClockCase{"pc_two_minutes_ahead", kNoonTdt, kNoon + 120, -120},
                    ClockCase{"pc_in_another_year", kNoonTdt, kNoon - 365 * 86400, 365 * 86400},
                    ClockCase{"not_a_time", ShortSection(0x70, {0xEF, 0xC7, 0x1A, 0x00, 0x00}), kNoon, std::nullopt},
                    ClockCase{"an_eit_is_no_clock", kMorning, kNoon, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Collector, OnlyAClockThatMovesByMoreThanAMinuteIsStoredAgain)
{
    ScheduleCollector collector;
    collector.OnClockSection(kNoonTdt.data(), kNoonTdt.size(), kNoon);
    EXPECT_EQ(collector.TakeClockChange(), 0);
    for (std::int64_t late : {1, 4, 60, -60}) {
        collector.OnClockSection(kNoonTdt.data(), kNoonTdt.size(), kNoon + late);
        EXPECT_EQ(collector.ClockDifference(), -late);
        EXPECT_EQ(collector.TakeClockChange(), std::nullopt) << late;
    }
    collector.OnClockSection(kNoonTdt.data(), kNoonTdt.size(), kNoon + 90);
    EXPECT_EQ(collector.TakeClockChange(), -90);
}

// The program's clock keeps the difference heard to the millisecond; in whole
// seconds it is rounded down, also when the broadcast is behind the PC.
TEST(ProgramClock, TheBroadcastsDifferenceInMillisecondsAndInSeconds)
{
    struct Case {
        std::int64_t heardMs;
        std::int64_t seconds;
    } cases[] = {{0, 0}, {999, 0}, {1000, 1}, {-1, -1}, {-999, -1}, {-1000, -1}, {-1001, -2}, {-86'400'250, -86'401}};
    for (const Case& c : cases) {
        NoteBroadcastClockDifferenceMs(c.heardMs);
        EXPECT_EQ(BroadcastClockDifferenceMs(), c.heardMs);
        EXPECT_EQ(BroadcastClockDifference(), c.seconds) << c.heardMs;
        EXPECT_EQ(ProgramNow(kNoon, 3600), kNoon + c.seconds) << "heard beats remembered";
        EXPECT_EQ(ProgramNowMs(kNoon * 1000 + 500, 3600), kNoon * 1000 + 500 + c.heardMs);
    }
}

}  // namespace
