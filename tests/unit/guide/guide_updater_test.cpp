// What the reader does with a section: events kept per channel, the window told
// only about the watched channel and never more than once per acknowledgement;
// and the rows the guide dialog lists from the kept events.
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "guide/eit_time.h"
#include "guide/guide_rows.h"
#include "guide/guide_slots.h"
#include "guide/guide_updater.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

class UtcClock final : public LocalTimeFormatter {
public:
    void Format(std::uint64_t utc, char (&text)[32]) const override
    {
        // Called while a section is parsed, before its event is stored.
        if (duringParse)
            std::exchange(duringParse, nullptr)();
        const std::uint64_t s = utc / kFileTimeTicksPerSecond % 86400;
        FormatClockText(static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60), text);
    }

    mutable std::function<void()> duringParse;
};

std::uint8_t Bcd(int v) { return static_cast<std::uint8_t>(v / 10 * 16 + v % 10); }

EitEvent At(int hour, const std::string& title)
{
    EitEvent e{};
    e.eventId = static_cast<unsigned>(hour);
    e.mjd = 61113;  // 14 March 2026
    e.start[0] = Bcd(hour);
    e.duration[0] = 0x01;
    e.descriptors = ShortEventDescriptor(Text(title), Text(""));
    return e;
}

ChannelList Channels(std::initializer_list<unsigned> sids)
{
    ChannelList list;
    for (unsigned sid : sids) {
        Chaine c = MakeEmptyChaine();
        c.SID = static_cast<std::int32_t>(sid);
        std::snprintf(c.Nom, sizeof c.Nom, "sid %u", sid);
        list.push_back(c);
    }
    return list;
}

struct Window {
    int notices = 0;
    bool accepts = true;
};

class GuideUpdaterTest : public ::testing::Test {
protected:
    void Feed(unsigned sid, std::initializer_list<EitEvent> events, std::uint8_t table = 0x4E)
    {
        const Bytes section = Eit(sid, events, table);
        updater.OnSection(section.data(), section.size());
    }

    ChannelList channels = Channels({0x101, 0x102, 0x201});
    UtcClock clock;
    Window window;
    GuideUpdater updater{channels, clock, [this] {
                             ++window.notices;
                             return window.accepts;
                         }};
};

TEST_F(GuideUpdaterTest, OnlyTheWatchedChannelIsToldAndOnceUntilAcknowledged)
{
    updater.Watch(1);
    Feed(0x101, {At(20, "Journal"), At(21, "Film")});
    Feed(0x201, {At(20, "Ailleurs")}, 0x4F);
    EXPECT_EQ(window.notices, 0) << "other channels fill silently";
    EXPECT_EQ(ReadGuideSlots(channels[2]).present.startTime != 0, true) << "0x4F fills other multiplexes' channels";

    Feed(0x102, {At(20, "Match")});
    EXPECT_EQ(window.notices, 1);
    Feed(0x102, {At(21, "Après-match")});
    Feed(0x102, {At(22, "Nuit")});
    EXPECT_EQ(window.notices, 1) << "one notice waits in the queue at most";

    updater.Acknowledge();
    Feed(0x102, {At(21, "Après-match")});
    EXPECT_EQ(window.notices, 1) << "nothing stored: an event already kept is not news";
    Feed(0x102, {At(23, "Fin")});
    EXPECT_EQ(window.notices, 2);

    // The watched channel follows channel changes.
    updater.Acknowledge();
    updater.Watch(0);
    Feed(0x102, {At(19, "Avant")});
    EXPECT_EQ(window.notices, 2);
    Feed(0x101, {At(22, "Débat")});
    EXPECT_EQ(window.notices, 3);
}

TEST_F(GuideUpdaterTest, ANoticeThatCouldNotBePostedIsTriedAgain)
{
    updater.Watch(0);
    window.accepts = false;
    Feed(0x101, {At(20, "Journal")});
    window.accepts = true;
    Feed(0x101, {At(21, "Film")});
    EXPECT_EQ(window.notices, 2);
    Feed(0x101, {At(22, "Débat")});
    EXPECT_EQ(window.notices, 2);
}

TEST_F(GuideUpdaterTest, AChannelChangeWhileASectionIsParsedDecidesTheNotice)
{
    // The user interface shows the new channel's slots as soon as it watches it;
    // what the reader stores after that must be told, what it stores for a channel
    // no longer watched need not be.
    struct Case {
        std::int32_t before, after;
        int notices;
    };
    for (const Case c : {Case{0, 1, 1}, Case{1, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << "watched " << c.before << " then " << c.after);
        ChannelList list = Channels({0x101, 0x102});
        int notices = 0;
        GuideUpdater local{list, clock, [&] { return ++notices > 0; }};
        local.Watch(c.before);
        clock.duringParse = [&] { local.Watch(c.after); };
        const Bytes section = Eit(0x102, {At(20, "Match")});
        local.OnSection(section.data(), section.size());
        EXPECT_STREQ(ReadGuideSlots(list[1]).present.title, "Match");
        EXPECT_EQ(notices, c.notices);
    }
}

TEST_F(GuideUpdaterTest, GuideRowsListKeptEventsInChannelOrder)
{
    EXPECT_TRUE(GuideRows(channels).empty()) << "before any section";
    Feed(0x201, {At(21, "Suite"), At(20, "Début")}, 0x4F);
    Feed(0x101, {At(20, "Journal")});
    const std::vector<GuideRow> rows = GuideRows(channels);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].channel, 0u);
    EXPECT_STREQ(rows[0].event.title, "Journal");
    EXPECT_STREQ(rows[0].event.startText, "20:00:00");
    EXPECT_STREQ(rows[0].event.endText, "21:00:00");
    EXPECT_EQ(rows[1].channel, 2u);
    EXPECT_STREQ(rows[1].event.title, "Début");
    EXPECT_EQ(rows[2].channel, 2u);
    EXPECT_STREQ(rows[2].event.title, "Suite");
}

}  // namespace
