// The names the audio and subtitle menus give a channel's tracks, and the
// tracks the viewer's preferences choose.
#include <gtest/gtest.h>

#include "channels/track_labels.h"

namespace {

AudioTrack Audio(const char* language, AudioKind kind, AudioCodec codec = AudioCodec::Mpeg, const char* spoken = "")
{
    AudioTrack t{};
    t.pid = 0x100;
    SetLanguage(t.language, reinterpret_cast<const std::uint8_t*>(language));
    if (*spoken)
        SetLanguage(t.spokenLanguage, reinterpret_cast<const std::uint8_t*>(spoken));
    t.kind = kind;
    t.codec = codec;
    return t;
}

SubtitleTrack Subtitles(SubtitleFormat format, const char* language, std::uint8_t type, std::uint16_t page = 0)
{
    SubtitleTrack t{};
    t.pid = 0x200;
    t.format = format;
    SetLanguage(t.language, reinterpret_cast<const std::uint8_t*>(language));
    t.type = type;
    t.teletextPage = page;
    return t;
}

ServiceStreams Streams(std::initializer_list<AudioTrack> audio, std::initializer_list<SubtitleTrack> subtitles = {})
{
    ServiceStreams s{};
    for (const AudioTrack& a : audio)
        AddAudioTrack(s, a);
    for (const SubtitleTrack& t : subtitles)
        AddSubtitleTrack(s, t);
    return s;
}

TEST(TrackLabels, AudioByLanguageAndKind)
{
    const ServiceStreams film = Streams({Audio("fra", AudioKind::Main), Audio("qaa", AudioKind::OriginalVersion, AudioCodec::Mpeg, "eng"),
                                         Audio("qad", AudioKind::AudioDescription), Audio("fra", AudioKind::CleanAudio),
                                         Audio("qaa", AudioKind::OriginalVersion), Audio("", AudioKind::Main)});
    const wchar_t* expected[] = {L"Fran\u00e7ais", L"Version originale (anglais)", L"Audiodescription",
                                 L"Fran\u00e7ais (malentendants)", L"Version originale", L"Piste 6"};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(AudioTrackLabel(film, i), expected[i]) << i;
    EXPECT_EQ(AudioTrackLabel(film, 6), L"");

    // The codec is named only when the channel's tracks differ in it.
    const ServiceStreams mixed = Streams({Audio("fra", AudioKind::Main), Audio("fra", AudioKind::Main, AudioCodec::Ac3),
                                          Audio("qaa", AudioKind::OriginalVersion, AudioCodec::Eac3, "deu")});
    EXPECT_EQ(AudioTrackLabel(mixed, 0), L"Fran\u00e7ais (MPEG)");
    EXPECT_EQ(AudioTrackLabel(mixed, 1), L"Fran\u00e7ais (AC-3)");
    EXPECT_EQ(AudioTrackLabel(mixed, 2), L"Version originale (allemand, E-AC-3)");
}

TEST(TrackLabels, Subtitles)
{
    EXPECT_EQ(SubtitleTrackLabel(Subtitles(SubtitleFormat::Dvb, "fra", 0x10)), L"Fran\u00e7ais");
    EXPECT_EQ(SubtitleTrackLabel(Subtitles(SubtitleFormat::Dvb, "fra", 0x20)), L"Fran\u00e7ais (sourds et malentendants)");
    EXPECT_EQ(SubtitleTrackLabel(Subtitles(SubtitleFormat::Dvb, "eng", 0x14)), L"Anglais");
    EXPECT_EQ(SubtitleTrackLabel(Subtitles(SubtitleFormat::Teletext, "fra", 2, 0x888)), L"T\u00e9l\u00e9texte 888");
    EXPECT_EQ(SubtitleTrackLabel(Subtitles(SubtitleFormat::Teletext, "fra", 5, 0x889)),
              L"T\u00e9l\u00e9texte 889 (sourds et malentendants)");
}

TEST(TrackLabels, PreferencesChooseTheTracks)
{
    const ServiceStreams s = Streams({Audio("qad", AudioKind::AudioDescription), Audio("eng", AudioKind::Main),
                                      Audio("fra", AudioKind::Main), Audio("qaa", AudioKind::OriginalVersion)},
                                     {Subtitles(SubtitleFormat::Teletext, "fra", 2, 0x888),
                                      Subtitles(SubtitleFormat::Dvb, "fra", 0x20), Subtitles(SubtitleFormat::Dvb, "fra", 0x10)});
    EXPECT_EQ(ChooseAudioTrack(s, AudioPreference::Language, "fra"), 2);
    EXPECT_EQ(ChooseAudioTrack(s, AudioPreference::OriginalVersion, "fra"), 3);
    EXPECT_EQ(ChooseAudioTrack(s, AudioPreference::Language, "ita"), 1);  // first main track
    EXPECT_EQ(ChooseAudioTrack(Streams({}), AudioPreference::Language, "fra"), -1);
    EXPECT_EQ(ChooseAudioTrack(Streams({Audio("qad", AudioKind::AudioDescription)}), AudioPreference::Language, "fra"), 0);

    EXPECT_EQ(ChooseSubtitleTrack(s, SubtitlePreference::Off, "fra"), -1);
    EXPECT_EQ(ChooseSubtitleTrack(s, SubtitlePreference::On, "fra"), 2);
    EXPECT_EQ(ChooseSubtitleTrack(s, SubtitlePreference::HardOfHearing, "fra"), 1);
    EXPECT_EQ(ChooseSubtitleTrack(Streams({}), SubtitlePreference::On, "fra"), -1);

    // The S key: "Aucun", each track, "Aucun" again.
    int choice = -1;
    std::vector<int> seen;
    for (int i = 0; i < 5; ++i)
        seen.push_back(choice = NextSubtitleChoice(s, choice));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, -1, 0}));
    EXPECT_EQ(NextSubtitleChoice(Streams({}), -1), -1);
}

}  // namespace
