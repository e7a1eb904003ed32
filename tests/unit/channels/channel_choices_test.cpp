// The user's channel choices: carried over to a new scan's list, and steering the
// keys that step through the channels.
#include "channels/channel_choices.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Service {
    std::int32_t onid, tsid, sid;
    const char* name;
};

ChannelList Scan(std::initializer_list<Service> services)
{
    ChannelList list;
    for (const Service& s : services) {
        Chaine c = MakeEmptyChaine();
        c.ONID = s.onid;
        c.TSID = s.tsid;
        c.SID = s.sid;
        std::snprintf(c.Nom, sizeof c.Nom, "%s", s.name);
        list.push_back(c);
    }
    return list;
}

// The shown names of a merge, in its order.
std::vector<std::string> Shown(const ScanMerge& merge)
{
    std::vector<std::string> names;
    for (const ChannelChoice& c : merge.choices)
        names.emplace_back(ShownName(c));
    return names;
}

TEST(ChannelChoices, ANewScanKeepsTheUsersChoicesByServiceThenByName)
{
    // The user's list: reordered, one renamed, one hidden, one favourite.
    std::vector<ChannelChoice> old = ChoicesOf(Scan({{8442, 1, 0x101, "TF1"},
                                                     {8442, 1, 0x102, "France 2"},
                                                     {8442, 2, 0x201, "Arte"},
                                                     {8442, 3, 0x301, "Gone TV"}}));
    std::swap(old[0], old[2]);  // Arte, France 2, TF1, Gone TV
    Rename(old[2], "Une");
    old[1].hidden = true;
    old[0].favourite = true;

    struct Case {
        const char* what;
        ChannelList scanned;
        std::vector<std::string> shown;
        std::vector<std::size_t> order;
        std::vector<std::string> added, gone;
        std::wstring summary;
    };
    const Case cases[] = {
        {"the same broadcast",
         Scan({{8442, 1, 0x101, "TF1"}, {8442, 1, 0x102, "France 2"}, {8442, 2, 0x201, "Arte"},
               {8442, 3, 0x301, "Gone TV"}}),
         {"Arte", "France 2", "Une", "Gone TV"}, {2, 1, 0, 3}, {}, {}, L"Aucune cha\u00eene nouvelle ni disparue"},
        {"re-planned: new transport stream ids, Arte renamed by its broadcaster",
         Scan({{8442, 7, 0x101, "TF1"}, {8442, 7, 0x102, "France 2"}, {8442, 2, 0x201, "Arte HD"},
               {8442, 9, 0x901, "Nouvelle"}}),
         {"Arte HD", "Nouvelle", "France 2", "Une"}, {2, 3, 1, 0}, {"Nouvelle"}, {"Gone TV"},
         L"1 nouvelle cha\u00eene, 1 disparue"},
        {"a namesake scanned first does not take a channel's own entry",
         Scan({{8442, 5, 0x555, "France 2"}, {8442, 1, 0x102, "France 2"}}),
         {"France 2", "France 2"}, {0, 1}, {"France 2"}, {"Arte", "TF1", "Gone TV"},
         L"1 nouvelle cha\u00eene, 3 disparues"},
        {"new channels go after the channel scanned before them, or first",
         Scan({{1, 1, 1, "Premier"}, {8442, 1, 0x101, "TF1"}, {2, 2, 2, "Deux"}, {3, 3, 3, "Trois"},
               {8442, 2, 0x201, "Arte"}}),
         {"Premier", "Arte", "Une", "Deux", "Trois"}, {0, 4, 1, 2, 3}, {"Premier", "Deux", "Trois"},
         {"France 2", "Gone TV"}, L"3 nouvelles cha\u00eenes, 2 disparues"},
        {"an empty scan", {}, {}, {}, {}, {"Arte", "France 2", "TF1", "Gone TV"}, L"4 cha\u00eenes disparues"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScanMerge merge = MergeScan(old, c.scanned);
        EXPECT_EQ(Shown(merge), c.shown);
        EXPECT_EQ(merge.order, c.order);
        EXPECT_EQ(merge.added, c.added);
        EXPECT_EQ(merge.gone, c.gone);
        EXPECT_EQ(MergeSummary(merge), c.summary);
    }

    // The choices travel with the channel, and its key and name follow the scan.
    const ScanMerge replanned = MergeScan(old, cases[1].scanned);
    EXPECT_TRUE(replanned.choices[0].favourite);
    EXPECT_TRUE(replanned.choices[2].hidden);
    EXPECT_FALSE(replanned.choices[1].hidden || replanned.choices[1].favourite);
    EXPECT_EQ(replanned.choices[3].broadcastName, "TF1");
    EXPECT_EQ(replanned.choices[3].key, (ServiceKey{8442, 7, 0x101}));
}

TEST(ChannelChoices, RenamingKeepsTheBroadcastNameAndCutsLongNames)
{
    ChannelChoice c = ChoicesOf(Scan({{1, 1, 1, "France 2"}}))[0];
    EXPECT_FALSE(Rename(c, "Deux"));
    EXPECT_EQ(ShownName(c), "Deux");
    EXPECT_FALSE(Rename(c, ""));
    EXPECT_EQ(ShownName(c), "France 2") << "an empty name gives the broadcast one back";
    EXPECT_TRUE(Rename(c, std::string(1000, 'x')));
    EXPECT_EQ(ShownName(c), std::string(kUserNameCapacity, 'x'));
    EXPECT_EQ(c.broadcastName, "France 2");

    std::vector<ChannelChoice> list = ChoicesOf(Scan({{1, 1, 1, "TF1"}, {1, 1, 2, "France 2"}}));
    Rename(list[0], "Info");
    EXPECT_EQ(OtherShowingName(list, 1, "Info"), 0) << "a name another channel shows";
    EXPECT_EQ(OtherShowingName(list, 1, "TF1"), -1) << "the broadcast name it no longer shows";
    EXPECT_EQ(OtherShowingName(list, 0, "Info"), -1) << "its own name";
}

TEST(ChannelChoices, StepsPassOverHiddenChannelsAndFReachesFavourites)
{
    // 0 shown, 1 hidden favourite, 2 favourite, 3 hidden, 4 favourite
    std::vector<ChannelChoice> list = ChoicesOf(Scan({{0, 0, 1, "a"}, {0, 0, 2, "b"}, {0, 0, 3, "c"},
                                                      {0, 0, 4, "d"}, {0, 0, 5, "e"}}));
    list[1].hidden = list[3].hidden = true;
    list[1].favourite = list[2].favourite = list[4].favourite = true;

    // From each position (-1: none yet; 1 and 3 are reached by their numbers):
    // where Next and Previous go.
    const int next[] = {0, 2, 2, 4, 4, 0};
    const int previous[] = {4, 4, 0, 0, 2, 2};
    for (int current = -1; current < 5; ++current) {
        EXPECT_EQ(StepVisible(list, current, StepWay::Next), next[current + 1]) << current;
        EXPECT_EQ(StepVisible(list, current, StepWay::Previous), previous[current + 1]) << current;
    }
    EXPECT_EQ(NextFavourite(list, 0), 2);
    EXPECT_EQ(NextFavourite(list, 2), 4);
    EXPECT_EQ(NextFavourite(list, 4), 2) << "wraps, passing the hidden favourite";

    list[2].favourite = false;
    EXPECT_EQ(NextFavourite(list, 4), -1) << "the only favourite is the current one";
    for (ChannelChoice& c : list)
        c.hidden = true;
    EXPECT_EQ(StepVisible(list, 0, StepWay::Next), -1);
    EXPECT_EQ(StepVisible({}, -1, StepWay::Next), -1);
}

}  // namespace
