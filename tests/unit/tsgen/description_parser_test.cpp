// Reading descriptions: texts, defaults, and the faults reported with their line.
#include <string>

#include <gtest/gtest.h>

#include "tools/tsgen/description_parser.h"
#include "tools/tsgen/eit_tables.h"

namespace {

using tsgen::ParseDescription;

constexpr const char* kMinimal =
    "broadcast clock=2026-03-14T19:30:00\n"
    "mux uhf=21 tsid=1 onid=0x20FA\n"
    "service sid=0x101 name=\"T\xC3\xA9l\xC3\xA9 \\\"D\\\"\" pmt=0x100 lcn=3\n"
    "video pid=0x110\n"
    "audio pid=0x111\n"
    "event start=2026-03-14T19:00 duration=01:00 title=\"\\x05Journal\"\n"
    "event duration=00:30 title=Suite\n";

TEST(DescriptionParser, DecodesTextsAndFillsDefaults)
{
    const auto d = ParseDescription(kMinimal);
    ASSERT_EQ(d.multiplexes.size(), 1u);
    const auto& m = d.multiplexes[0];
    EXPECT_EQ(m.frequencyKHz, 474166u);
    EXPECT_EQ(m.networkId, 0x20FA);
    const auto& s = m.services.at(0);
    EXPECT_EQ(s.name, "T\xE9l\xE9 \"D\"");  // UTF-8 é becomes the ISO 8859-1 byte
    EXPECT_EQ(s.type, 0x01) << "a service with video is television";
    EXPECT_EQ(s.pcrPid, 0x110) << "the PCR travels with the video by default";
    ASSERT_EQ(s.events.size(), 2u);
    EXPECT_EQ(s.events[0].title, "\x05Journal");
    EXPECT_EQ(s.events[1].start, s.events[0].start + 3600) << "an event without start follows the previous one";
    EXPECT_EQ(s.events[1].eventId, s.events[0].eventId + 1);
}

TEST(DescriptionParser, RadioDefaultsAndServiceWithoutPcr)
{
    const auto d = ParseDescription(
        "mux freq=586166 tsid=6 onid=1\n"
        "service sid=1 name=A pmt=0x100\n"
        "audio pid=0x101 bitrate=128000\n"
        "service sid=2 name=B pmt=0x200 pcr=none\n"
        "audio pid=0x201\n"
        "service sid=3 name=C pmt=0x300\n"
        "video pid=0x301\n");
    const auto& services = d.multiplexes.at(0).services;
    EXPECT_EQ(services[0].type, 0x02);
    EXPECT_EQ(services[0].pcrPid, 0x101);
    EXPECT_EQ(services[1].pcrPid, tsgen::kNoPcrPid);
    EXPECT_EQ(services[2].pcrPid, 0x301) << "each service gets its own default";
}

// The line a fault is reported on, and a word of its message.
void ExpectFault(const std::string& text, int line, const std::string& word)
{
    try {
        ParseDescription(text);
        ADD_FAILURE() << "accepted: " << text;
    } catch (const tsgen::DescriptionError& e) {
        EXPECT_EQ(e.line(), line) << e.what();
        EXPECT_NE(std::string(e.what()).find(word), std::string::npos) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("ligne " + std::to_string(line), 0), 0u) << e.what();
    }
}

TEST(DescriptionParser, ReportsFaultsWithTheirLine)
{
    const std::string mux = "mux uhf=21 tsid=1 onid=1\n";
    ExpectFault("# comment\n\nchannel x=1\n", 3, "channel");
    ExpectFault(mux + "service sid=1 pmt=0x100\n", 2, "name");
    ExpectFault(mux + "service sid=1 name=A pmt=0x2000\n", 2, "pmt");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100 colour=red\n", 2, "colour");
    ExpectFault(mux + "service sid=1 name=\"A pmt=0x100\n", 2, "guillemet");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nvideo pid=0x100\n", 3, "PID");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nservice sid=1 name=B pmt=0x200\n", 3, "SID");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nvideo pid=0x101 size=720x\n", 3, "size");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nvideo pid=0x101 codec=hevc size=719x576\n", 3, "paires");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nvideo pid=0x101 codec=h264 size=720x575\n", 3, "paires");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nvideo pid=0x101 codec=vp9\n", 3, "hevc");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\naudio pid=0x101 bitrate=100000\n", 3, "bit");
    ExpectFault(mux + "service sid=1 name=\"\xE2\x82\xAC\" pmt=0x100\n", 2, "ISO-8859-1");
    ExpectFault(mux + "service sid=1 name=\"\xE9t\xE9\" pmt=0x100\n", 2, "UTF-8");
    ExpectFault(mux + "service sid=1 name=\"\\xZZ\" pmt=0x100\n", 2, "\\x");
    ExpectFault("video pid=0x100\n", 1, "service");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nevent duration=01:00 title=T\n", 3, "start");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nevent start=2026-03-14T10:00 duration=02:00 title=T\n"
                      "event start=2026-03-14T11:00 duration=01:00 title=U\n",
                4, "avant la fin");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100\nevent start=2026-02-30T10:00 duration=01:00 title=T\n", 3,
                "start");
    ExpectFault(mux + "mux uhf=21 tsid=2 onid=1\n", 2, "fréquence");
    ExpectFault(mux + "service sid=1 name=A pmt=0x100 pcr=0x100\n", 2, "PCR");
    ExpectFault("repeat pcr=50\n", 1, "pcr");
}

TEST(PresentFollowing, PicksTheRunningAndNextEventsAndVersionsTheirChanges)
{
    const auto d = ParseDescription(
        "mux uhf=21 tsid=1 onid=1\n"
        "service sid=1 name=A pmt=0x100\n"
        "event start=2026-03-14T18:00 duration=01:00 title=A\n"
        "event start=2026-03-14T20:00 duration=01:00 title=B\n");
    const auto& s = d.multiplexes[0].services[0];
    const std::int64_t six = s.events[0].start;
    auto pf = tsgen::FindPresentFollowing(s, six + 1800);
    ASSERT_TRUE(pf.present && pf.following);
    EXPECT_EQ(pf.present->title, "A");
    EXPECT_EQ(pf.following->title, "B");
    // In the gap between two programmes nothing is on, the next one follows.
    const auto gap = tsgen::FindPresentFollowing(s, six + 5400);
    EXPECT_EQ(gap.present, nullptr);
    ASSERT_NE(gap.following, nullptr);
    EXPECT_EQ(gap.following->title, "B");
    EXPECT_NE(gap.version, pf.version);
    // The empty present section carries no event: too short for a guide to read.
    const auto sections = tsgen::BuildEitPresentFollowing(0x4E, d.multiplexes[0], s, six + 5400);
    EXPECT_EQ(sections[0].size(), 18u);
    EXPECT_GT(sections[1].size(), 18u);
}

}  // namespace

// Each « charset » table writes the same words as the bytes a receiver expects.
TEST(DescriptionParser, CharsetWritesTextsInTheChosenTable)
{
    const auto d = ParseDescription(
        "broadcast clock=2026-03-14T19:30:00\n"
        "mux uhf=21 tsid=1 onid=0x20FA\n"
        "charset table=6937\n"
        "service sid=1 name=\"Ch\xC3\xA2\xC3\xAEne \xC5\x93uvre \xC3\xA7\xC3\xA0\" provider=\"\" pmt=0x100\n"
        "video pid=0x110\n"
        "charset table=latin9\n"
        "service sid=2 name=\"\xE2\x82\xAC \xC3\xA9t\xC3\xA9\" pmt=0x200\n"
        "video pid=0x210\n"
        "charset table=utf8\n"
        "service sid=3 name=\"Cha\xC3\xAEne B\" pmt=0x300\n"
        "video pid=0x310\n"
        "event start=2026-03-14T19:00 duration=01:00 title=\"\\x86Un\" text=\"\"\n");
    const auto& s = d.multiplexes.at(0).services;
    EXPECT_EQ(s.at(0).name, "Ch\xC3" "a\xC3" "ine \xFAuvre \xCB" "c\xC1" "a");
    EXPECT_EQ(s.at(0).provider, "") << "an empty text gets no selector";
    EXPECT_EQ(s.at(1).name, "\x0B\xA4 \xE9t\xE9");
    EXPECT_EQ(s.at(2).name, "\x15" "Cha\xC3\xAEne B");
    EXPECT_EQ(s.at(2).events.at(0).title, "\x15\x86Un") << "a \\x byte stands as written, after the selector";
}

TEST(DescriptionParser, CharsetRefusesWhatItsTableCannotHold)
{
    const std::string head = "broadcast clock=2026-03-14T19:30:00\nmux uhf=21 tsid=1 onid=1\n";
    for (const char* line : {"charset table=latin1\nservice sid=1 name=\"\xC5\x93\" pmt=0x100\n",
                             "charset table=6937\nservice sid=1 name=\"\xE2\x82\xAC\" pmt=0x100\n",
                             "charset table=latin9\nservice sid=1 name=\"\xC2\xA4\" pmt=0x100\n",
                             "charset table=ebcdic\n"}) {
        try {
            ParseDescription(head + line);
            ADD_FAILURE() << "accepted: " << line;
        } catch (const tsgen::DescriptionError& e) {
            EXPECT_GE(e.line(), 3) << line;
        }
    }
}
