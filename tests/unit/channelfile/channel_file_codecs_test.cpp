// The codec elements of the channel file: written only for streams of today's
// codecs, read back beside their PIDs, ignored when unknown.
#include "channels/channel_file.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

Chaine HdRecord()
{
    Chaine c = MakeEmptyChaine();
    std::strcpy(c.Nom, "Demo HD");
    c.Frequence = 578166;
    c.PMT = 256;
    c.PCR = 272;
    c.Video = 272;
    c.VideoCodec = StreamCodec::H264;
    c.Son1 = 273;
    c.Son1Codec = StreamCodec::AacAdts;
    c.Son2 = 274;  // classic MPEG audio: no codec line
    c.Ac3 = 275;
    c.Ac3Codec = StreamCodec::Eac3;
    return c;
}

std::string Latin1(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 0x100 ? static_cast<char>(c) : '?';
    return out;
}

XmlNodeView Node(std::u16string name, std::u16string text = {})
{
    return XmlNodeView{std::move(name), std::move(text), {}};
}

TEST(ChannelFileCodecs, CodecLinesFollowTheirPidsOnlyForTodaysCodecs)
{
    const std::string file = FormatChannelFile({HdRecord()});
    const std::string expectedTail =
        "\t\t<Video>272</Video>\r\n"
        "\t\t<CodecVideo>H.264</CodecVideo>\r\n"
        "\t\t<Son1>273</Son1>\r\n"
        "\t\t<CodecSon1>AAC</CodecSon1>\r\n"
        "\t\t<Son2>274</Son2>\r\n"
        "\t\t<Ac3>275</Ac3>\r\n"
        "\t\t<CodecAc3>E-AC-3</CodecAc3>\r\n"
        "\t</Chaine>\r\n"
        "</Chaines>\r\n";
    ASSERT_GE(file.size(), expectedTail.size());
    EXPECT_EQ(file.substr(file.size() - expectedTail.size()), expectedTail);

    // No codec line for an absent stream, whatever its codec field says.
    Chaine silent = HdRecord();
    silent.Son1 = 0;
    silent.Son2 = 0;
    silent.Ac3 = -1;
    const std::string noAudio = FormatChannelFile({silent});
    EXPECT_EQ(noAudio.find("CodecSon1"), std::string::npos);
    EXPECT_EQ(noAudio.find("CodecAc3"), std::string::npos);
}

TEST(ChannelFileCodecs, ReadBackBesideTheirPids)
{
    for (const StreamCodec codec : {StreamCodec::H264, StreamCodec::Hevc}) {
        Chaine c = HdRecord();
        c.VideoCodec = codec;
        c.Son2Codec = StreamCodec::AacLatm;
        // The formatted file, as the parser hands it over, line by line.
        XmlNodeView entry{u"Chaine", {}, {}};
        const std::string file = FormatChannelFile({c});
        for (std::size_t at = file.find("\t\t<"); at != std::string::npos; at = file.find("\t\t<", at + 1)) {
            const std::size_t close = file.find('>', at);
            const std::size_t end = file.find("</", close);
            const std::string name = file.substr(at + 3, close - at - 3);
            const std::string text = file.substr(close + 1, end - close - 1);
            entry.children.push_back(Node(std::u16string(name.begin(), name.end()),
                                          std::u16string(text.begin(), text.end())));
        }
        const Chaine back = ChannelFromEntry(entry, Latin1);
        EXPECT_EQ(std::memcmp(&back, &c, sizeof c), 0) << static_cast<int>(codec);
    }
}

TEST(ChannelFileCodecs, UnknownOrMissingCodecsReadAsTheClassicKind)
{
    const XmlNodeView old{u"Chaine", {}, {Node(u"Video", u"120"), Node(u"Son1", u"130")}};
    const Chaine classic = ChannelFromEntry(old, Latin1);
    EXPECT_EQ(classic.VideoCodec, StreamCodec::Classic);
    EXPECT_EQ(classic.Son1Codec, StreamCodec::Classic);

    // A later version's codec is skipped for the next known one; case counts.
    const XmlNodeView mixed{u"Chaine", {},
                            {Node(u"Video", u"120"), Node(u"CodecVideo", u"VVC"), Node(u"CodecVideo", u" HEVC\r\n"),
                             Node(u"CodecSon1", u"aac"), Node(u"codecAc3", u"E-AC-3")}};
    const Chaine read = ChannelFromEntry(mixed, Latin1);
    EXPECT_EQ(read.VideoCodec, StreamCodec::Hevc);
    EXPECT_EQ(read.Son1Codec, StreamCodec::Classic);
    EXPECT_EQ(read.Ac3Codec, StreamCodec::Classic);
}

}  // namespace
