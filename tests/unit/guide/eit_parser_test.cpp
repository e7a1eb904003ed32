#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "channels/text/dvb_text.h"
#include "guide/eit_parser.h"
#include "guide/eit_time.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

// Stands for the platform's conversion: UTC shifted by a fixed number of hours.
class ShiftedClock final : public LocalTimeFormatter {
public:
    explicit ShiftedClock(int hours = 0) : shift_(hours * 3600) {}
    void Format(std::uint64_t utc, char (&text)[32]) const override
    {
        const std::int64_t s = static_cast<std::int64_t>(utc / kFileTimeTicksPerSecond) + shift_;
        const std::int64_t day = ((s % 86400) + 86400) % 86400;
        FormatClockText(static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60),
                        static_cast<int>(day % 60), text);
    }

private:
    std::int64_t shift_;
};

constexpr unsigned kMjd = 60379;  // 10 March 2024
constexpr unsigned kSid = 0x0401;

std::uint8_t Bcd(int v) { return static_cast<std::uint8_t>(v / 10 * 16 + v % 10); }

// An event at hh:mm UTC on 10 March 2024, lasting `minutes`.
EitEvent At(int hour, int minute, const std::string& title, int minutes = 60, const std::string& text = "")
{
    EitEvent e{};
    e.eventId = static_cast<unsigned>(hour * 60 + minute);
    e.mjd = kMjd;
    e.start[0] = Bcd(hour);
    e.start[1] = Bcd(minute);
    e.duration[0] = Bcd(minutes / 60);
    e.duration[1] = Bcd(minutes % 60);
    e.descriptors = ShortEventDescriptor(Text(title), Text(text));
    return e;
}

std::uint64_t Utc(int hour, int minute, unsigned mjd = kMjd)
{
    return UtcToFileTime(MjdToDate(static_cast<std::uint16_t>(mjd)), ClockTime{hour, minute, 0});
}

ChannelList Channels(std::initializer_list<unsigned> sids)
{
    ChannelList list;
    for (unsigned sid : sids) {
        Chaine c = MakeEmptyChaine();
        c.SID = static_cast<std::int32_t>(sid);
        list.push_back(c);
    }
    return list;
}

int Parse(const Bytes& section, ChannelList& list, std::int32_t current = 0, const LocalTimeFormatter& clock = ShiftedClock())
{
    return ParseEitSection(section.data(), section.size(), list, current, clock);
}

int Feed(ChannelList& list, std::initializer_list<EitEvent> events, std::int32_t current = 0)
{
    return Parse(Eit(kSid, events), list, current);
}

TEST(EitParser, FirstLaterAndEarlierEvents)
{
    ChannelList list = Channels({kSid});
    EXPECT_EQ(Feed(list, {At(20, 0, "Journal")}), 1);
    EXPECT_EQ(list[0].presentEvent.startTime, Utc(20, 0));
    EXPECT_STREQ(list[0].presentEvent.title, "Journal");
    EXPECT_EQ(list[0].followingEvent.startTime, 0u);

    EXPECT_EQ(Feed(list, {At(21, 0, "Film")}), 1);
    EXPECT_STREQ(list[0].followingEvent.title, "Film");

    EXPECT_EQ(Feed(list, {At(19, 0, "Jeu")}), 1);
    EXPECT_STREQ(list[0].presentEvent.title, "Jeu");
    EXPECT_STREQ(list[0].followingEvent.title, "Journal");
}

TEST(EitParser, LaterEventMovesTheFollowingOneUpAndABetweenOneReplacesThePresent)
{
    ChannelList list = Channels({kSid});
    EXPECT_EQ(Feed(list, {At(20, 0, "A"), At(21, 0, "B")}), 2);
    ChannelList between = list;

    Feed(list, {At(22, 0, "C")});
    EXPECT_STREQ(list[0].presentEvent.title, "B");
    EXPECT_STREQ(list[0].followingEvent.title, "C");
    EXPECT_EQ(list[0].presentEvent.startTime, Utc(21, 0));

    Feed(between, {At(20, 30, "D")});
    EXPECT_STREQ(between[0].presentEvent.title, "D");
    EXPECT_STREQ(between[0].followingEvent.title, "B");
}

TEST(EitParser, RepeatedStartKeepsTheFirstTexts)
{
    ChannelList list = Channels({kSid});
    Feed(list, {At(20, 0, "Journal", 30, "Infos")});
    EXPECT_EQ(Feed(list, {At(20, 0, "Journal de 20 h", 45, "Autre")}), 0);
    EXPECT_STREQ(list[0].presentEvent.title, "Journal");
    EXPECT_STREQ(list[0].presentEvent.description, "Infos");
    EXPECT_STREQ(list[0].presentEvent.endText, "20:30:00");
}

TEST(EitParser, TextsAreLocalClockTimesWithoutDate)
{
    ChannelList list = Channels({kSid});
    Feed(list, {At(23, 30, "Nuit", 60)});
    EXPECT_STREQ(list[0].presentEvent.startText, "23:30:00");
    EXPECT_STREQ(list[0].presentEvent.endText, "00:30:00");

    ChannelList paris = Channels({kSid});
    Parse(Eit(kSid, {At(23, 30, "Nuit", 60)}), paris, 0, ShiftedClock(1));
    EXPECT_EQ(paris[0].presentEvent.startTime, Utc(23, 30));
    EXPECT_STREQ(paris[0].presentEvent.startText, "00:30:00");
    EXPECT_STREQ(paris[0].presentEvent.endText, "01:30:00");
}

TEST(EitParser, ShortEventTexts)
{
    ChannelList list = Channels({kSid});
    const std::string longText(200, 't');
    EitEvent e = At(20, 0, "");
    e.descriptors = Concat({Descriptor(0x54, {0x10, 0x00}),  // content, skipped
                            ShortEventDescriptor(Text("Title"), Text("Text"), "eng"),
                            ShortEventDescriptor(Bytes{0x05, 'F', 'i', 'l', 'm'}, Text(longText))});
    EitEvent bare = At(21, 0, "");
    bare.descriptors.clear();
    Feed(list, {e, bare});
    EXPECT_STREQ(list[0].presentEvent.title, "Film");  // last descriptor, selector dropped
    EXPECT_EQ(std::string(list[0].presentEvent.description), longText);
    EXPECT_STREQ(list[0].followingEvent.title, "");
    EXPECT_STREQ(list[0].followingEvent.description, "");
    EXPECT_STREQ(list[0].followingEvent.startText, "21:00:00");

    // The longest name a short event descriptor can hold (255 payload bytes).
    ChannelList full = Channels({kSid});
    const std::string longName(250, 'n');
    Feed(full, {At(20, 0, longName)});
    EXPECT_EQ(std::string(full[0].presentEvent.title), longName);
}

// The 8859-9 selector taken off a text is kept beside it, so the text still
// reads as 8859-9; the last short event descriptor decides for each text.
TEST(EitParser, TakenOffSelectorIsKeptBesideItsText)
{
    ChannelList list = Channels({kSid});
    EitEvent turkish = At(20, 0, "");
    turkish.descriptors = ShortEventDescriptor(Bytes{0x05, 0xDD, 'z', 'm', 'i', 'r'}, Text("Ankara"), "tur");
    EitEvent french = At(21, 0, "");
    french.descriptors = Concat({ShortEventDescriptor(Bytes{0x05, 'A'}, Bytes{0x05, 'B'}, "tur"),
                                 ShortEventDescriptor(Text("Journal"), Bytes{0x05, 0xFD}, "fra")});
    Feed(list, {turkish, french});

    const GuideEvent& present = list[0].presentEvent;
    EXPECT_STREQ(present.title, "\xDDzmir");
    EXPECT_EQ(present.titleTable, DvbTextTable::Iso8859_9);
    EXPECT_EQ(present.descriptionTable, DvbTextTable::FromText);
    EXPECT_EQ(DecodeDvbText(present.title, present.titleTable), u"\u0130zmir");

    const GuideEvent& following = list[0].followingEvent;
    EXPECT_EQ(following.titleTable, DvbTextTable::FromText);
    EXPECT_EQ(following.descriptionTable, DvbTextTable::Iso8859_9);
    EXPECT_EQ(DecodeDvbText(following.description, following.descriptionTable), u"\u0131");
}

TEST(EitParser, OnlyTheFirstRecordWithTheServiceIdAndOnlyTheCurrentOneCounts)
{
    ChannelList list = Channels({0x0100, kSid, kSid});
    EXPECT_EQ(Feed(list, {At(20, 0, "A")}, 0), 0);  // stored, but not on the current channel
    EXPECT_STREQ(list[1].presentEvent.title, "A");
    EXPECT_EQ(list[2].presentEvent.startTime, 0u);
    EXPECT_EQ(list[0].presentEvent.startTime, 0u);

    EXPECT_EQ(Feed(list, {At(21, 0, "B")}, 1), 1);
    EXPECT_EQ(Feed(list, {At(22, 0, "C")}, -1), 0);
    EXPECT_EQ(Feed(list, {At(23, 0, "D")}, 2), 0);
    EXPECT_STREQ(list[1].followingEvent.title, "D");
}

TEST(EitParser, IgnoredSections)
{
    ChannelList list = Channels({kSid});
    ChannelList empty;
    const Bytes s = Eit(kSid, {At(20, 0, "A")});
    EXPECT_EQ(Parse(s, empty), 0);
    EXPECT_EQ(Parse(Eit(0x0999, {At(20, 0, "A")}), list), 0);
    EXPECT_EQ(ParseEitSection(s.data(), 18, list, 0, ShiftedClock()), 0);
    EXPECT_EQ(list[0].presentEvent.startTime, 0u);
}

TEST(EitParser, EventWithAnInvalidStartIsSkipped)
{
    ChannelList list = Channels({kSid});
    EitEvent undefined = At(20, 0, "NVOD");
    std::memset(undefined.start, 0xFF, 3);
    undefined.mjd = 0xFFFF;
    EitEvent badHour = At(20, 0, "Bad");
    badHour.start[0] = 0x24;
    EitEvent badDuration = At(20, 0, "Bad");
    badDuration.duration[1] = 0x7A;
    EXPECT_EQ(Feed(list, {undefined, badHour, badDuration, At(21, 0, "Good")}), 1);
    EXPECT_STREQ(list[0].presentEvent.title, "Good");
    EXPECT_EQ(list[0].followingEvent.startTime, 0u);
}

TEST(EitParser, TruncatedOrLyingSectionsNeverReadOutside)
{
    const Bytes s = Eit(kSid, {At(20, 0, "Premier", 60, "Un"), At(21, 0, "Second", 60, "Deux")});
    for (std::size_t length = 0; length <= s.size(); ++length) {
        std::unique_ptr<std::uint8_t[]> copy(length ? new std::uint8_t[length] : nullptr);
        std::copy(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(length), copy.get());
        ChannelList list = Channels({kSid});
        const int stored = ParseEitSection(copy.get(), length, list, 0, ShiftedClock());
        // An event is taken only when it lies whole before the CRC.
        const std::size_t firstEnd = 14 + EitEventBytes(At(20, 0, "Premier", 60, "Un")).size();
        const int whole = length == s.size() ? 2 : (length >= firstEnd + 4 ? 1 : 0);
        EXPECT_EQ(stored, whole) << "length " << length;
    }

    ChannelList list = Channels({kSid});
    Bytes lying = s;
    lying[14 + 10] |= 0x0F;  // first event's descriptors_loop_length
    lying[14 + 11] = 0xFF;
    EXPECT_EQ(Parse(lying, list), 0);

    Bytes badName = s;
    badName[14 + 12 + 5] = 200;  // name length past the short event descriptor
    EXPECT_EQ(Parse(badName, list), 2);
    EXPECT_STREQ(list[0].presentEvent.title, "");
    EXPECT_STREQ(list[0].followingEvent.title, "Second");
}

}  // namespace
