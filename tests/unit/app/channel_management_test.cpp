// The rules behind managing the channels: the keys over hidden channels and
// favourites while recording, the organiser's renames, moves and its result, and
// the report of a new scan.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/channel_navigation.h"
#include "app/organise_channels_model.h"
#include "app/rescan_report.h"

namespace {

Chaine Channel(const char* name, std::int32_t frequency, std::uint16_t sid, std::int32_t numero = 0)
{
    Chaine c = MakeEmptyChaine();
    std::strncpy(c.Nom, name, sizeof c.Nom - 1);
    c.Frequence = frequency;
    c.ONID = 0x20FA;
    c.TSID = 1;
    c.SID = sid;
    c.Numero = numero;
    return c;
}

// A and C on one multiplex, B and D on another.
const ChannelList kList = {Channel("A", 474166, 1, 1), Channel("B", 498166, 2, 2), Channel("C", 474166, 3, 3),
                           Channel("D", 498166, 4, 4)};

std::vector<ChannelChoice> Choices(const char* hidden, const char* favourite)
{
    std::vector<ChannelChoice> choices = ChoicesOf(kList);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        choices[i].hidden = hidden[i] == 'h';
        choices[i].favourite = favourite[i] == 'f';
    }
    return choices;
}

TEST(ChannelKeys, StepOverHiddenChannelsAndStayOnTheRecordedMultiplex)
{
    struct Case {
        const char* hidden;
        const char* favourite;
        int current;
        bool recording;
        int next, previous, nextFavourite;
    };
    const Case cases[] = {
        {"....", "....", 0, false, 1, 3, -1},
        {".h..", ".f.f", 0, false, 2, 3, 3},    // a hidden favourite is passed over too
        {".h..", ".f.f", 1, false, 2, 0, 3},    // from a hidden channel reached by its number
        {"....", "f.f.", 0, true, 2, 2, 2},     // recording A: only C is on its multiplex
        {"..h.", "f.ff", 0, true, -1, -1, -1},  // ... and C is hidden
        {"....", "ffff", -1, true, -1, -1, -1}, // recording with no channel current
        {"hhhh", "....", 2, false, -1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.hidden) + " " + c.favourite + " current " + std::to_string(c.current));
        const auto stepping = SteppingChoices(kList, Choices(c.hidden, c.favourite), c.current, c.recording);
        EXPECT_EQ(StepVisible(stepping, c.current, StepWay::Next), c.next);
        EXPECT_EQ(StepVisible(stepping, c.current, StepWay::Previous), c.previous);
        EXPECT_EQ(NextFavourite(stepping, c.current), c.nextFavourite);
    }
    // Choices missing for some channels (a list out of step): those count as shown.
    EXPECT_EQ(StepVisible(SteppingChoices(kList, {}, 0, false), 0, StepWay::Next), 1);
}

TEST(UserNames, PlainAsciiStaysAsTypedOtherTextGoesAsUtf8AndLongNamesAreCutBetweenCharacters)
{
    struct Case {
        std::u16string typed;
        std::string bytes;
        bool cut;
    };
    const Case cases[] = {
        {u"Info 24", "Info 24", false},
        {u"T\u00e9l\u00e9", "\x15T\xC3\xA9l\xC3\xA9", false},
        {u"\U0001F4FA", "\x15\xF0\x9F\x93\xBA", false},
        {std::u16string(1000, u'x'), std::string(255, 'x'), true},
        // 127 two-byte letters fill 254 bytes after the selector; the 128th does not fit.
        {std::u16string(1000, u'\u00e9'), "\x15" + [] {
             std::string s;
             for (int i = 0; i < 127; ++i)
                 s += "\xC3\xA9";
             return s;
         }(),
         true},
    };
    for (const Case& c : cases) {
        bool cut = false;
        EXPECT_EQ(EncodeUserName(c.typed, cut), c.bytes);
        EXPECT_EQ(cut, c.cut);
    }
}

TEST(ChannelOrganiser, RenamesWithNoticesAndGivesTheBroadcastNameBack)
{
    ChannelOrganiser organiser(kList, ChoicesOf(kList));
    struct Step {
        std::size_t row;
        std::u16string typed;
        std::u16string shown;
        const wchar_t* noticeHas;  // empty: no notice
    };
    const Step steps[] = {
        {0, u"  Ma cha\u00eene ", u"Ma cha\u00eene", L""},
        {1, u"Ma cha\u00eene", u"Ma cha\u00eene", L"La cha\u00eene 1 porte d\u00e9j\u00e0 le nom"},
        {2, u"D", u"D", L"La cha\u00eene 4 porte d\u00e9j\u00e0 le nom \u00ab D \u00bb"},
        {3, std::u16string(1000, u'z'), std::u16string(255, u'z'), L"raccourci \u00e0 255 caract\u00e8res"},
        {0, u"", u"A", L""},
        {1, u"B", u"B", L""},  // its own broadcast name: the user's name goes
    };
    for (const Step& s : steps) {
        const std::wstring notice = organiser.Rename(s.row, s.typed);
        EXPECT_EQ(organiser.ShownText(s.row), s.shown);
        if (*s.noticeHas == L'\0')
            EXPECT_EQ(notice, L"");
        else
            EXPECT_NE(notice.find(s.noticeHas), std::wstring::npos) << std::string(notice.begin(), notice.end());
    }
    EXPECT_EQ(organiser.RowText(3), u"4\t" + std::u16string(255, u'z'));
}

TEST(ChannelOrganiser, MovesMarksAndAppliesTheNewOrderWithTheCurrentChannelFollowing)
{
    ChannelOrganiser organiser(kList, ChoicesOf(kList));
    EXPECT_EQ(organiser.Move(0, StepWay::Previous), 0u);  // already first
    EXPECT_EQ(organiser.Move(3, StepWay::Next), 3u);      // already last
    EXPECT_EQ(organiser.Move(2, StepWay::Previous), 1u);  // C above B
    EXPECT_EQ(organiser.Move(1, StepWay::Previous), 0u);  // C first
    organiser.SetHidden(3, true);
    organiser.SetFavourite(1, true);
    EXPECT_EQ(organiser.RowText(1), u"1\tA  (favorite)");
    EXPECT_EQ(organiser.RowText(3), u"4\tD  (masqu\u00e9e)");

    ChannelList list = kList;
    list[1].Numero = 22;  // the program's records are the ones kept
    std::vector<ChannelChoice> choices;
    std::int32_t current = 1;  // B
    organiser.Apply(list, choices, current);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_STREQ(list[0].Nom, "C");
    EXPECT_STREQ(list[1].Nom, "A");
    EXPECT_STREQ(list[2].Nom, "B");
    EXPECT_EQ(list[2].Numero, 22);
    EXPECT_EQ(current, 2);
    ASSERT_EQ(choices.size(), 4u);
    EXPECT_EQ(choices[0].key, KeyOf(list[0]));
    EXPECT_TRUE(choices[1].favourite);
    EXPECT_TRUE(choices[3].hidden);
}

TEST(ChannelOrganiser, ChoicesOfAnotherServiceAreNotTaken)
{
    std::vector<ChannelChoice> choices = ChoicesOf(kList);
    choices[0].userName = "Autre";
    choices[0].key.sid = 99;  // out of step with the list
    choices.pop_back();       // and one short
    ChannelOrganiser organiser(kList, choices);
    EXPECT_EQ(organiser.ShownText(0), u"A");
    EXPECT_EQ(organiser.ShownText(3), u"D");
}

TEST(RescanReport, CountsThenNamesTheNewAndTheGoneChannels)
{
    struct Case {
        std::vector<std::string> added, gone;
        std::wstring report;
    };
    const Case cases[] = {
        {{}, {}, L"Aucune cha\u00eene nouvelle ni disparue."},
        {{"X", "\x15\xC3\x89toile"}, {"Y"},
         L"2 nouvelles cha\u00eenes, 1 disparue.\nNouvelles : X, \u00c9toile\nDisparue : Y"},
        {{"X"}, {}, L"1 nouvelle cha\u00eene.\nNouvelle : X"},
    };
    for (const Case& c : cases) {
        ScanMerge merge;
        merge.added = c.added;
        merge.gone = c.gone;
        EXPECT_EQ(RescanReport(merge), c.report);
    }
}

}  // namespace
