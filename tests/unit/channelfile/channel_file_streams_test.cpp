// The track elements of the channel file: after the channel's described lines,
// read back as they were written, and a file without them reads as before.
#include "channels/channel_file.h"
#include "channels/service_streams_file.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Latin1(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

XmlNodeView Node(std::u16string_view name, std::string_view text = {})
{
    return XmlNodeView{std::u16string(name), std::u16string(text.begin(), text.end()), {}};
}

// The first entry of a formatted file, as the parser hands it over.
XmlNodeView FirstEntry(const std::string& file)
{
    XmlNodeView entry{u"Chaine", {}, {}};
    const std::size_t last = file.find("\t</Chaine>");
    for (std::size_t at = file.find("\t\t<"); at < last; at = file.find("\t\t<", at + 1)) {
        const std::size_t close = file.find('>', at);
        const std::size_t end = file.find("</", close);
        const std::string name = file.substr(at + 3, close - at - 3);
        entry.children.push_back(Node(std::u16string(name.begin(), name.end()), file.substr(close + 1, end - close - 1)));
    }
    return entry;
}

Chaine ServiceWithTracks()
{
    Chaine c = MakeEmptyChaine();
    std::strcpy(c.Nom, "Demo VO");
    c.Frequence = 474166;
    c.SID = 5;
    c.PMT = 0x105;
    c.PCR = 0x150;
    c.Video = 0x150;
    c.Son1 = 0x151;
    c.Son2 = 0x152;
    auto audio = [](std::int32_t pid, const char* lang, AudioKind kind, AudioCodec codec, const char* spoken) {
        AudioTrack t{};
        t.pid = pid;
        SetLanguage(t.language, reinterpret_cast<const std::uint8_t*>(lang));
        if (*spoken)
            SetLanguage(t.spokenLanguage, reinterpret_cast<const std::uint8_t*>(spoken));
        t.kind = kind;
        t.codec = codec;
        return t;
    };
    AddAudioTrack(c.Streams, audio(0x151, "fra", AudioKind::Main, AudioCodec::Mpeg, ""));
    AddAudioTrack(c.Streams, audio(0x152, "qaa", AudioKind::OriginalVersion, AudioCodec::Mpeg, "eng"));
    AddAudioTrack(c.Streams, audio(0x153, "qad", AudioKind::AudioDescription, AudioCodec::Eac3, ""));
    SubtitleTrack dvb{};
    dvb.pid = 0x160;
    SetLanguage(dvb.language, reinterpret_cast<const std::uint8_t*>("fra"));
    dvb.type = 0x20;
    dvb.compositionPage = 1;
    dvb.ancillaryPage = 65535;
    AddSubtitleTrack(c.Streams, dvb);
    SubtitleTrack ttx{};
    ttx.pid = 0x161;
    ttx.format = SubtitleFormat::Teletext;
    ttx.type = 2;
    ttx.teletextPage = 0x888;  // no language
    AddSubtitleTrack(c.Streams, ttx);
    return c;
}

TEST(ChannelFileStreams, WrittenAfterTheDescribedLinesAndReadBack)
{
    const Chaine c = ServiceWithTracks();
    const std::string file = FormatChannelFile({c});
    const std::string expected =
        "\t\t<Son2>338</Son2>\r\n"
        "\t\t<PisteSon>337,fra,principale,MPEG</PisteSon>\r\n"
        "\t\t<PisteSon>338,qaa,vo,MPEG,eng</PisteSon>\r\n"
        "\t\t<PisteSon>339,qad,audiodescription,E-AC-3</PisteSon>\r\n"
        "\t\t<SousTitresDVB>352,fra,20,1,65535</SousTitresDVB>\r\n"
        "\t\t<SousTitresTeletexte>353,,2,888</SousTitresTeletexte>\r\n"
        "\t</Chaine>\r\n";
    EXPECT_NE(file.find(expected), std::string::npos) << file;

    const Chaine back = ChannelFromEntry(FirstEntry(file), Latin1);
    EXPECT_EQ(std::memcmp(&back, &c, sizeof c), 0);

    // The described lines are those of a channel without tracks, byte for byte.
    Chaine plain = c;
    plain.Streams = ServiceStreams{};
    const std::string older = FormatChannelFile({plain});
    EXPECT_EQ(older.find("Piste"), std::string::npos);
    std::string stripped = file;
    for (std::size_t at; (at = stripped.find("\t\t<PisteSon>")) != std::string::npos ||
                         (at = stripped.find("\t\t<SousTitres")) != std::string::npos;)
        stripped.erase(at, stripped.find("\r\n", at) + 2 - at);
    EXPECT_EQ(stripped, older);
}

TEST(ChannelFileStreams, TracksSurviveAReaderThatKeepsThemAsUnknownElements)
{
    // A version that does not know the tracks keeps them as unknown elements
    // and writes them back after the user's choices, text unchanged.
    const Chaine c = ServiceWithTracks();
    const XmlNodeView written = FirstEntry(FormatChannelFile({c}));
    XmlNodeView rewritten{u"Chaine", {}, {}};
    std::vector<XmlNodeView> tracks;
    for (const XmlNodeView& child : written.children)
        (child.name.starts_with(u"PisteSon") || child.name.starts_with(u"SousTitres") ? tracks : rewritten.children)
            .push_back(child);
    rewritten.children.push_back(Node(u"Favori", "1"));
    rewritten.children.insert(rewritten.children.end(), tracks.begin(), tracks.end());

    const Chaine back = ChannelFromEntry(rewritten, Latin1);
    EXPECT_EQ(std::memcmp(&back, &c, sizeof c), 0);
    // This version reads them as tracks, not as elements to keep.
    const ChannelChoice choice = ChoiceFromEntry(rewritten, back, Latin1);
    EXPECT_TRUE(choice.favourite);
    EXPECT_TRUE(choice.keptElements.empty());
}

TEST(ChannelFileStreams, ElementsThatDoNotReadAsTracksAreLeftOut)
{
    const char* bad[][2] = {
        {"PisteSon", "0,fra,principale,MPEG"},       // PID 0 is the PAT's
        {"PisteSon", "8191,fra,principale,MPEG"},    // the null packets'
        {"PisteSon", "300,fra,principale,DTS"},      // a codec of a later version
        {"PisteSon", "300,fra,bonus,MPEG"},          // unknown kind
        {"PisteSon", "300,fra,principale"},          // cut short
        {"PisteSon", "-3,fra,principale,MPEG"},
        {"SousTitresDVB", "300,fra,1FF,1,1"},        // type beyond a byte
        {"SousTitresDVB", "300,fra,10,1"},
        {"SousTitresTeletexte", "300,fra,2,088"},    // no magazine 0 on screen
        {"SousTitresTeletexte", "300,fra,2,8\xC3\xA9" "8"},
    };
    for (const auto& b : bad) {
        const XmlNodeView entry{u"Chaine", {}, {Node(u"Video", "100"), Node(std::u16string(b[0], b[0] + std::strlen(b[0])), b[1])}};
        const Chaine c = ChannelFromEntry(entry, Latin1);
        EXPECT_EQ(c.Streams.audioCount + c.Streams.subtitleCount, 0) << b[0] << ' ' << b[1];
    }
    // A language that is not three letters is kept empty, the track stays.
    const XmlNodeView odd{u"Chaine", {}, {Node(u"PisteSon", " 300 , fr ,vo,AAC")}};
    const Chaine c = ChannelFromEntry(odd, Latin1);
    ASSERT_EQ(c.Streams.audioCount, 1);
    EXPECT_EQ(LanguageOf(c.Streams.audio[0].language), "");
    EXPECT_EQ(c.Streams.audio[0].codec, AudioCodec::Aac);
}

}  // namespace
