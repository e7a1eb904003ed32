// ParsePmt's stream list: every audio track with its language and kind, every
// subtitle track, whatever the fields Son1, Son2 and Ac3 take.
#include <gtest/gtest.h>

#include <string>

#include "channels/psi/psi_parsers.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

ServiceStreams StreamsOf(const std::vector<PmtStream>& streams)
{
    ChannelList list{MakeEmptyChaine()};
    const Bytes pmt = Pmt(1, 0x100, streams);
    ParsePmt(pmt.data(), pmt.size(), 0, list);
    return list[0].Streams;
}

Bytes Language(const std::string& code, std::uint8_t audioType = 0, const std::string& second = "")
{
    Bytes data = Text(code);
    data.push_back(audioType);
    if (!second.empty()) {
        const Bytes more = Text(second);
        data.insert(data.end(), more.begin(), more.end());
        data.push_back(0);
    }
    return Descriptor(0x0A, data);
}

// Supplementary audio: mix_type 1, editorial classification, language when given.
Bytes Supplementary(std::uint8_t editorial, const std::string& code = "")
{
    Bytes data{0x06, static_cast<std::uint8_t>(0x80 | editorial << 2 | 0x02 | (code.empty() ? 0 : 1))};
    const Bytes lang = Text(code);
    data.insert(data.end(), lang.begin(), lang.end());
    return Descriptor(0x7F, data);
}

TEST(PmtStreams, AudioTracksByLanguageAndKind)
{
    struct Case {
        const char* what;
        PmtStream stream;
        AudioCodec codec;
        const char* language;
        AudioKind kind;
        const char* spoken;
    };
    const Case cases[] = {
        {"French MPEG", {0x03, 0x110, Language("fra")}, AudioCodec::Mpeg, "fra", AudioKind::Main, ""},
        {"original version", {0x04, 0x111, Language("qaa", 0, "eng")}, AudioCodec::Mpeg, "qaa",
         AudioKind::OriginalVersion, "eng"},
        {"audio description by code", {0x0F, 0x112, Language("qad")}, AudioCodec::Aac, "qad",
         AudioKind::AudioDescription, ""},
        {"audio description by audio type", {0x11, 0x113, Language("FRA", 3)}, AudioCodec::AacLatm, "fra",
         AudioKind::AudioDescription, ""},
        {"hard of hearing by audio type", {0x03, 0x114, Language("fra", 2)}, AudioCodec::Mpeg, "fra",
         AudioKind::CleanAudio, ""},
        {"supplementary audio wins", {0x06, 0x115, Concat({Language("fra"), Supplementary(1), Ac3Descriptor()})},
         AudioCodec::Ac3, "fra", AudioKind::AudioDescription, ""},
        {"spoken subtitles, language from the supplementary descriptor",
         {0x06, 0x116, Concat({Supplementary(3, "ita"), Descriptor(0x7A, {0x00})})}, AudioCodec::Eac3, "ita",
         AudioKind::SpokenSubtitles, ""},
        {"original version, spoken language from the supplementary descriptor",
         {0x0F, 0x117, Concat({Language("qaa"), Supplementary(0, "deu")})}, AudioCodec::Aac, "qaa",
         AudioKind::OriginalVersion, "deu"},
        {"no language", {0x03, 0x118, {}}, AudioCodec::Mpeg, "", AudioKind::Main, ""},
        {"a code that is not letters", {0x03, 0x119, Language(std::string("f\x01r", 3))}, AudioCodec::Mpeg, "",
         AudioKind::Main, ""},
    };
    for (const Case& c : cases) {
        const ServiceStreams s = StreamsOf({{0x02, 0x100, {}}, c.stream});
        ASSERT_EQ(s.audioCount, 1) << c.what;
        EXPECT_EQ(s.subtitleCount, 0) << c.what;
        const AudioTrack& t = s.audio[0];
        EXPECT_EQ(t.pid, static_cast<std::int32_t>(c.stream.pid)) << c.what;
        EXPECT_EQ(t.codec, c.codec) << c.what;
        EXPECT_EQ(LanguageOf(t.language), c.language) << c.what;
        EXPECT_EQ(t.kind, c.kind) << c.what;
        EXPECT_EQ(LanguageOf(t.spokenLanguage), c.spoken) << c.what;
    }
}

TEST(PmtStreams, EveryAudioTrackInTableOrderBesideTheClassicFields)
{
    // Three MPEG tracks: Son2 keeps the last, the list keeps all three.
    const ServiceStreams s = StreamsOf({{0x02, 0x100, {}},
                                        {0x03, 0x110, Language("fra")},
                                        {0x03, 0x111, Language("qaa", 0, "eng")},
                                        {0x03, 0x112, Language("qad")},
                                        {0x06, 0x113, Concat({Language("fra"), Ac3Descriptor()})},
                                        {0x06, 0x114, {}}});  // private data of no known kind
    ASSERT_EQ(s.audioCount, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s.audio[i].pid, 0x110 + i);
    EXPECT_EQ(s.audio[3].codec, AudioCodec::Ac3);
    EXPECT_EQ(s.subtitleCount, 0);
}

TEST(PmtStreams, SubtitleTracks)
{
    const Bytes dvb = Descriptor(0x59, Concat({Text("fra"), {0x10, 0x00, 0x01, 0x00, 0x02},  //
                                               Text("fra"), {0x20, 0x00, 0x03, 0x00, 0x02}}));
    // initial page 100 (type 1), subtitles 888 (type 2, magazine 0 is 8), hard of hearing 889.
    const Bytes teletext = Descriptor(0x56, Concat({Text("fra"), {0x09, 0x00},  //
                                                    Text("fra"), {0x10, 0x88},  //
                                                    Text("fra"), {0x28, 0x89}}));
    const ServiceStreams s = StreamsOf({{0x06, 0x120, dvb}, {0x06, 0x130, teletext}});
    ASSERT_EQ(s.subtitleCount, 4);
    EXPECT_EQ(s.audioCount, 0);

    const SubtitleTrack& plain = s.subtitles[0];
    EXPECT_EQ(plain.format, SubtitleFormat::Dvb);
    EXPECT_EQ(plain.pid, 0x120);
    EXPECT_EQ(LanguageOf(plain.language), "fra");
    EXPECT_EQ(plain.compositionPage, 1);
    EXPECT_EQ(plain.ancillaryPage, 2);
    EXPECT_FALSE(IsHardOfHearing(plain));
    EXPECT_EQ(s.subtitles[1].compositionPage, 3);
    EXPECT_TRUE(IsHardOfHearing(s.subtitles[1]));

    EXPECT_EQ(s.subtitles[2].format, SubtitleFormat::Teletext);
    EXPECT_EQ(s.subtitles[2].pid, 0x130);
    EXPECT_EQ(s.subtitles[2].teletextPage, 0x888);
    EXPECT_FALSE(IsHardOfHearing(s.subtitles[2]));
    EXPECT_EQ(s.subtitles[3].teletextPage, 0x889);
    EXPECT_TRUE(IsHardOfHearing(s.subtitles[3]));
}

TEST(PmtStreams, BoundedAndRebuiltOnEachReading)
{
    // More tracks than the list holds: the first ones are kept.
    std::vector<PmtStream> many;
    for (unsigned i = 0; i < kMaxAudioTracks + 3; ++i)
        many.push_back({0x03, 0x200 + i, Language("fra")});
    // A cut subtitling entry (7 bytes) gives nothing.
    many.push_back({0x06, 0x300, Descriptor(0x59, Concat({Text("fra"), {0x10, 0x00, 0x01, 0x00}}))});
    ChannelList list{MakeEmptyChaine()};
    const Bytes pmt = Pmt(1, 0x100, many);
    ParsePmt(pmt.data(), pmt.size(), 0, list);
    ParsePmt(pmt.data(), pmt.size(), 0, list);
    EXPECT_EQ(list[0].Streams.audioCount, kMaxAudioTracks);
    EXPECT_EQ(list[0].Streams.audio[kMaxAudioTracks - 1].pid, static_cast<std::int32_t>(0x200 + kMaxAudioTracks - 1));
    EXPECT_EQ(list[0].Streams.subtitleCount, 0);
}

}  // namespace
