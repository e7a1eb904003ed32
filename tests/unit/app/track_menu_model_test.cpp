// The "Audio" and "Sous-titres" menus of a channel: what they list, what they
// check, and how a chosen track reads in the described commands' state.
#include "app/track_menu_model.h"

#include <gtest/gtest.h>

namespace {

Chaine Channel(std::int32_t son1, std::int32_t son2, std::int32_t ac3)
{
    Chaine c = MakeEmptyChaine();
    c.Son1 = son1;
    c.Son2 = son2;
    c.Ac3 = ac3;
    return c;
}

AudioTrack Audio(std::int32_t pid, const char* language, AudioKind kind, const char* spoken = "")
{
    AudioTrack t{};
    t.pid = pid;
    SetLanguage(t.language, reinterpret_cast<const std::uint8_t*>(language));
    if (*spoken)
        SetLanguage(t.spokenLanguage, reinterpret_cast<const std::uint8_t*>(spoken));
    t.kind = kind;
    return t;
}

SubtitleTrack Subtitles(std::int32_t pid, SubtitleFormat format, std::uint8_t type, std::uint16_t page = 0)
{
    SubtitleTrack t{};
    t.pid = pid;
    t.format = format;
    SetLanguage(t.language, reinterpret_cast<const std::uint8_t*>("fra"));
    t.type = type;
    t.teletextPage = page;
    return t;
}

TEST(TrackMenus, AChosenTrackReadsAsTheDescribedCommandThatNamesItOrAsAnother)
{
    const Chaine film = Channel(0x111, 0x113, 0x120);
    const Chaine noFirst = Channel(0, 0, 0x120);
    const struct {
        const Chaine* channel;
        std::int32_t pid;
        PlayingPin pin;
        bool second;
        bool ac3;
        std::int32_t other;
    } cases[] = {
        {&film, 0x111, PlayingPin::Audio, false, false, 0},
        {&film, 0x113, PlayingPin::Audio, true, false, 0},
        {&film, 0x112, PlayingPin::Audio, false, false, 0x112},
        {&film, 0x120, PlayingPin::Ac3, false, true, 0},
        {&film, 0x121, PlayingPin::Ac3, false, false, 0x121},
        // The AC-3 command needs a first track to come back to.
        {&noFirst, 0x120, PlayingPin::Ac3, false, false, 0x120},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.pid);
        const HeardTrack heard = HeardAfterChoice(*c.channel, c.pid, c.pin);
        EXPECT_EQ(heard.second, c.second);
        EXPECT_EQ(heard.ac3, c.ac3);
        EXPECT_EQ(heard.otherPid, c.other);
        // What is then taken off a pin is what was put on it.
        EXPECT_EQ(HeardPid(*c.channel, heard), c.pid);
        EXPECT_EQ(HeardPin(heard), c.pin);
    }
}

TEST(TrackMenus, EachCodecPlaysOnItsPin)
{
    const struct {
        AudioCodec codec;
        PlayingPin pin;
        StreamCodec pinCodec;
    } cases[] = {
        {AudioCodec::Mpeg, PlayingPin::Audio, StreamCodec::Classic},
        {AudioCodec::Aac, PlayingPin::Audio, StreamCodec::AacAdts},
        {AudioCodec::AacLatm, PlayingPin::Audio, StreamCodec::AacLatm},
        {AudioCodec::Ac3, PlayingPin::Ac3, StreamCodec::Classic},
        {AudioCodec::Eac3, PlayingPin::Ac3, StreamCodec::Eac3},
    };
    for (const auto& c : cases) {
        const TrackRoute route = RouteOf(c.codec);
        EXPECT_EQ(route.pin, c.pin) << AudioCodecName(c.codec);
        EXPECT_EQ(route.codec, c.pinCodec) << AudioCodecName(c.codec);
    }
}

TEST(TrackMenus, AudioItemsNameEveryTrackAndCheckTheOneHeard)
{
    Chaine film = Channel(0x111, 0x113, 0);
    AddAudioTrack(film.Streams, Audio(0x111, "fra", AudioKind::Main));
    AddAudioTrack(film.Streams, Audio(0x112, "qad", AudioKind::AudioDescription));
    AddAudioTrack(film.Streams, Audio(0x113, "qaa", AudioKind::OriginalVersion, "eng"));
    const auto items = AudioMenuItems(ListedStreams(film), 0x113);
    ASSERT_EQ(items.size(), 3u);
    const wchar_t* texts[] = {L"Fran\u00e7ais", L"Audiodescription", L"Version originale (anglais)"};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, 40060 + i);
        EXPECT_EQ(items[i].text, texts[i]);
        EXPECT_EQ(items[i].checked, i == 2);
        EXPECT_TRUE(items[i].enabled);
    }

    // A channel file without the streams: the described tracks, by number and codec.
    const Chaine old = Channel(0x211, 0x212, 0x213);
    const auto described = AudioMenuItems(ListedStreams(old), 0x211);
    ASSERT_EQ(described.size(), 3u);
    EXPECT_EQ(described[0].text, L"Piste 1 (MPEG)");
    EXPECT_EQ(described[2].text, L"Piste 3 (AC-3)");
    EXPECT_TRUE(described[0].checked);
    EXPECT_EQ(ListedStreams(old).audio[2].pid, 0x213);

    // Nothing to hear: one greyed item, so the pop-up is never empty.
    const auto none = AudioMenuItems(ListedStreams(Channel(0, 0, 0)), 0);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].text, L"Aucune piste");
    EXPECT_FALSE(none[0].enabled);
    EXPECT_FALSE(none[0].checked);
}

TEST(TrackMenus, SubtitleItemsStartWithAucunAndCheckTheOneShown)
{
    ServiceStreams streams{};
    AddSubtitleTrack(streams, Subtitles(0x114, SubtitleFormat::Dvb, 0x20));
    AddSubtitleTrack(streams, Subtitles(0x115, SubtitleFormat::Teletext, 2, 0x888));
    for (int shown : {-1, 0, 1}) {
        const auto items = SubtitleMenuItems(streams, shown);
        ASSERT_EQ(items.size(), 3u);
        EXPECT_EQ(items[0].id, 40068u);
        EXPECT_EQ(items[0].text, L"Aucun");
        EXPECT_EQ(items[1].id, 40069u);
        EXPECT_EQ(items[1].text, L"Fran\u00e7ais (sourds et malentendants)");
        EXPECT_EQ(items[2].id, 40070u);
        EXPECT_EQ(items[2].text, L"T\u00e9l\u00e9texte 888");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(items[static_cast<std::size_t>(i)].checked, i == shown + 1) << shown;
    }
}

}  // namespace
