// EIT sections (present/following and schedule) into events: the descriptors
// the guide shows, and the sections and events that must be refused.
#include <gtest/gtest.h>

#include "channels/psi/crc32.h"
#include "guide/schedule/eit_schedule_parser.h"
#include "guide/schedule/event_texts.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

// 2026-12-09 (MJD 61383) 20:45:00, for 1 h 30.
EitEvent Event(unsigned id, const Bytes& descriptors)
{
    return EitEvent{id, 61383, {0x20, 0x45, 0x00}, {0x01, 0x30, 0x00}, descriptors};
}

Bytes Extended(unsigned number, unsigned last, const Bytes& items, const Bytes& text)
{
    Bytes d{static_cast<std::uint8_t>(number << 4 | last), 'f', 'r', 'e', static_cast<std::uint8_t>(items.size())};
    Append(d, items);
    d.push_back(static_cast<std::uint8_t>(text.size()));
    Append(d, text);
    return Descriptor(0x4E, d);
}

Bytes Item(const std::string& description, const std::string& item)
{
    Bytes b{static_cast<std::uint8_t>(description.size())};
    Append(b, Text(description));
    b.push_back(static_cast<std::uint8_t>(item.size()));
    Append(b, Text(item));
    return b;
}

Bytes Rating(const std::string& country, std::uint8_t rating) { return Descriptor(0x55, Concat({Text(country), {rating}})); }
Bytes Component(std::uint8_t content, std::uint8_t type) { return Descriptor(0x50, {content, type, 0, 'f', 'r', 'e'}); }

struct DescriptorCase {
    const char* name;
    Bytes descriptors;
    std::string title, subtitle, description, genre, mark;
    std::uint8_t flags;
};

class DescriptorTest : public testing::TestWithParam<DescriptorCase> {};

TEST_P(DescriptorTest, GivesWhatAViewerReads)
{
    const DescriptorCase& c = GetParam();
    EitSection s;
    ASSERT_EQ(ParseEitSection(Eit(0x0101, {Event(7, c.descriptors)}, 0x50).data(),
                              Eit(0x0101, {Event(7, c.descriptors)}, 0x50).size(), s),
              EitSectionStatus::Ok);
    ASSERT_EQ(s.events.size(), 1u);
    const GuideEntry g = DecodeEvent(s.service, s.events[0]);
    EXPECT_EQ(g.title, c.title);
    EXPECT_EQ(g.subtitle, c.subtitle);
    EXPECT_EQ(g.description, c.description);
    EXPECT_EQ(FrenchGenre(g.content), c.genre);
    EXPECT_EQ(FrenchAgeMark(g.minimumAge), c.mark);
    EXPECT_EQ(g.flags, c.flags);
    EXPECT_EQ(g.stop - g.start, 5400);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, DescriptorTest,
    testing::Values(
        DescriptorCase{"short_event_in_its_own_tables",
                       Concat({ShortEventDescriptor(Text("\x15" "Été"), Text("\x0B" "C\xBDur: \xBD"))}),
                       "Été", "Cœur: œ", "", "", "", 0},
        // Three descriptors sent out of order, each repeating the UTF-8 selector,
        // with "é" cut between the second and third.
        DescriptorCase{"extended_pieces_joined_in_order",
                       Concat({Extended(2, 2, {}, Text("\x15\xA9t\xC3\xA9")),
                               Extended(0, 2, Item("\x15" "Réalisateur", "\x15" "Agnès"), Text("\x15Un ")),
                               Extended(1, 2, {}, Text("\x15long \xC3"))}),
                       "", "", "Réalisateur : Agnès\nUn long été", "", "", 0},
        DescriptorCase{"genre_rating_and_flags",
                       Concat({Descriptor(0x54, {0x10, 0x00, 0x40, 0x00}), Rating("GBR", 0x0F), Rating("FRA", 0x09),
                               Component(0xF5, 0x0B), Component(0xF3, 0x20), Component(0xF2, 0x40)}),
                       "", "", "", "Film", "-12", kFlagHighDefinition | kFlagWideScreen | kFlagDeafSubtitles |
                                                       kFlagAudioDescription},
        DescriptorCase{"documentary_and_marks_by_age", Concat({Descriptor(0x54, {0x23, 0x00}), Rating("FRA", 0x0E)}),
                       "", "", "", "Documentaire", "-16", 0},
        DescriptorCase{"unknown_and_reserved_are_nothing",
                       Concat({Descriptor(0x54, {0xF0, 0x00}), Rating("FRA", 0x00), Rating("FRA", 0x05),
                               Descriptor(0x83, {1, 2, 3}), Component(0xF1, 0x01)}),
                       "", "", "", "", "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Sections and events that must not be stored as they are.
struct RefusalCase {
    const char* name;
    Bytes section;
    EitSectionStatus status;
    std::size_t events;
};

Bytes WithByte(Bytes b, std::size_t at, std::uint8_t v)
{
    b[at] = v;
    return b;
}

Bytes Undefined()
{
    EitEvent e = Event(1, {});
    e.mjd = 0xFFFF;
    e.start[0] = e.start[1] = e.start[2] = 0xFF;
    return Eit(1, {e, Event(2, {})}, 0x50);
}

Bytes Duration(std::uint8_t h, std::uint8_t m)
{
    EitEvent e = Event(1, {});
    e.duration[0] = h;
    e.duration[1] = m;
    return Eit(1, {e, Event(2, {})}, 0x60);
}

// An event whose short event descriptor claims more bytes than its loop holds.
Bytes CutDescriptor()
{
    Bytes cut = ShortEventDescriptor(Text("Titre"), Text("Texte"));
    cut[1] = 40;
    return Eit(1, {Event(1, cut), Event(2, {})}, 0x4E);
}

// current_next_indicator 0, the CRC made right again.
Bytes NotCurrent()
{
    Bytes s = Eit(1, {Event(1, {})}, 0x50);
    s[5] &= 0xFE;
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size() - 4);
    for (int i = 0; i < 4; ++i)
        s[s.size() - 4 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    return s;
}

class RefusalTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, KeepsOnlySoundEvents)
{
    const RefusalCase& c = GetParam();
    EitSection s;
    EXPECT_EQ(ParseEitSection(c.section.data(), c.section.size(), s), c.status);
    if (c.status == EitSectionStatus::Ok) {
        EXPECT_EQ(s.events.size(), c.events);
    }
}

const Bytes kGood = Eit(1, {Event(1, {}), Event(2, {})}, 0x50);

INSTANTIATE_TEST_SUITE_P(
    Sections, RefusalTest,
    testing::Values(RefusalCase{"good", kGood, EitSectionStatus::Ok, 2},
                    RefusalCase{"bad_crc", WithByte(kGood, kGood.size() - 1, kGood.back() ^ 1),
                                EitSectionStatus::Damaged, 0},
                    RefusalCase{"length_past_the_bytes", Bytes(kGood.begin(), kGood.end() - 1),
                                EitSectionStatus::Damaged, 0},
                    RefusalCase{"sdt_is_no_eit", OneServiceSdt(1, 1, "A"), EitSectionStatus::NotEit, 0},
                    RefusalCase{"table_after_the_schedule", WithByte(kGood, 0, 0x70), EitSectionStatus::NotEit, 0},
                    RefusalCase{"not_yet_current", NotCurrent(), EitSectionStatus::NotCurrent, 0},
                    RefusalCase{"undefined_start", Undefined(), EitSectionStatus::Ok, 1},
                    RefusalCase{"zero_duration", Duration(0x00, 0x00), EitSectionStatus::Ok, 1},
                    RefusalCase{"over_a_day", Duration(0x24, 0x01), EitSectionStatus::Ok, 1},
                    RefusalCase{"a_whole_day_is_kept", Duration(0x24, 0x00), EitSectionStatus::Ok, 2},
                    RefusalCase{"duration_not_bcd", Duration(0x0A, 0x00), EitSectionStatus::Ok, 1},
                    RefusalCase{"cut_descriptor", CutDescriptor(), EitSectionStatus::Ok, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EitSchedule, ReadsTheKeyAndPlaceOfTheSection)
{
    EitSection s;
    ASSERT_EQ(ParseEitSection(kGood.data(), kGood.size(), s), EitSectionStatus::Ok);
    EXPECT_EQ(s.tableId, 0x50);
    EXPECT_EQ(s.service, (ServiceKey{0x20FA, 0x0001, 0x0001}));
    EXPECT_EQ(s.events[0].start, 1796849100);  // 2026-12-09T20:45:00Z
}

}  // namespace
