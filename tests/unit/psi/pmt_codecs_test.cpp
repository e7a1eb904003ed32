// ParsePmt on services of today's codecs, alone and beside the classic ones.
#include <gtest/gtest.h>

#include "channels/psi/psi_parsers.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

Chaine Parsed(const Bytes& pmt)
{
    ChannelList list{MakeEmptyChaine()};
    ParsePmt(pmt.data(), pmt.size(), 0, list);
    return list[0];
}

Bytes Eac3Descriptor()
{
    return Descriptor(0x7A, {0x00});
}

TEST(PmtCodecs, TodaysFrenchServiceHdWithEac3AndAac)
{
    const Chaine c = Parsed(Pmt(1, 0x100,
                                {{0x1B, 0x100, {}},
                                 {0x06, 0x101, Concat({Descriptor(0x0A, Text("fra\0")), Eac3Descriptor()})},
                                 {0x0F, 0x102, Descriptor(0x0A, Text("qad\0"))},
                                 {0x06, 0x103, Descriptor(0x59, Bytes(8, 0))}}));  // subtitles
    EXPECT_EQ(c.Video, 0x100);
    EXPECT_EQ(c.VideoCodec, StreamCodec::H264);
    EXPECT_EQ(c.Son1, 0x102);
    EXPECT_EQ(c.Son1Codec, StreamCodec::AacAdts);
    EXPECT_EQ(c.Son2, 0);
    EXPECT_EQ(c.Ac3, 0x101);
    EXPECT_EQ(c.Ac3Codec, StreamCodec::Eac3);
}

TEST(PmtCodecs, EachNewKindAloneWithTheClassicFirstAndLastRules)
{
    const Chaine hevc = Parsed(Pmt(1, 0x100, {{0x24, 0x100, {}}, {0x11, 0x101, {}}}));
    EXPECT_EQ(hevc.Video, 0x100);
    EXPECT_EQ(hevc.VideoCodec, StreamCodec::Hevc);
    EXPECT_EQ(hevc.Son1, 0x101);
    EXPECT_EQ(hevc.Son1Codec, StreamCodec::AacLatm);

    // The last video wins; the first audio gives Son1, the last later one Son2.
    const Chaine many = Parsed(Pmt(1, 0x100,
                                   {{0x24, 0x100, {}}, {0x1B, 0x110, {}}, {0x0F, 0x101, {}}, {0x11, 0x102, {}},
                                    {0x0F, 0x103, {}}}));
    EXPECT_EQ(many.Video, 0x110);
    EXPECT_EQ(many.VideoCodec, StreamCodec::H264);
    EXPECT_EQ(many.Son1, 0x101);
    EXPECT_EQ(many.Son1Codec, StreamCodec::AacAdts);
    EXPECT_EQ(many.Son2, 0x103);
    EXPECT_EQ(many.Son2Codec, StreamCodec::AacAdts);

    // E-AC-3 needs the private data type and its own descriptor.
    EXPECT_EQ(Parsed(Pmt(1, 0x100, {{0x06, 0x110, {}}})).Ac3, 0);
    EXPECT_EQ(Parsed(Pmt(1, 0x100, {{0x0F, 0x110, Eac3Descriptor()}})).Ac3, 0);
    EXPECT_EQ(Parsed(Pmt(1, 0x100, {{0x06, 0x110, Eac3Descriptor()}, {0x06, 0x111, Eac3Descriptor()}})).Ac3, 0x111);
}

TEST(PmtCodecs, ClassicStreamsKeepTheirFieldsWhateverTheOrder)
{
    // MPEG-2 video before or after H.264: the MPEG-2 one is Video.
    for (const bool classicFirst : {true, false}) {
        std::vector<PmtStream> streams{{0x1B, 0x200, {}}, {0x02, 0x100, {}}};
        if (classicFirst)
            std::swap(streams[0], streams[1]);
        const Chaine c = Parsed(Pmt(1, 0x100, streams));
        EXPECT_EQ(c.Video, 0x100) << classicFirst;
        EXPECT_EQ(c.VideoCodec, StreamCodec::Classic);
    }

    // AC-3 beats E-AC-3 on Ac3, even when the E-AC-3 stream comes last, and a
    // stream with both descriptors is AC-3.
    const Chaine dolby = Parsed(Pmt(1, 0x100, {{0x06, 0x110, Ac3Descriptor()}, {0x06, 0x111, Eac3Descriptor()}}));
    EXPECT_EQ(dolby.Ac3, 0x110);
    EXPECT_EQ(dolby.Ac3Codec, StreamCodec::Classic);
    const Chaine both = Parsed(Pmt(1, 0x100, {{0x06, 0x112, Concat({Eac3Descriptor(), Ac3Descriptor()})}}));
    EXPECT_EQ(both.Ac3, 0x112);
    EXPECT_EQ(both.Ac3Codec, StreamCodec::Classic);

    // MPEG audio keeps Son1 (and Son2 when there are two); AAC takes a slot left empty.
    const Chaine one = Parsed(Pmt(1, 0x100, {{0x0F, 0x101, {}}, {0x04, 0x102, {}}, {0x0F, 0x103, {}}}));
    EXPECT_EQ(one.Son1, 0x102);
    EXPECT_EQ(one.Son1Codec, StreamCodec::Classic);
    EXPECT_EQ(one.Son2, 0x101);
    EXPECT_EQ(one.Son2Codec, StreamCodec::AacAdts);
    const Chaine two = Parsed(Pmt(1, 0x100, {{0x0F, 0x101, {}}, {0x04, 0x102, {}}, {0x03, 0x103, {}}}));
    EXPECT_EQ(two.Son1, 0x102);
    EXPECT_EQ(two.Son2, 0x103);
    EXPECT_EQ(two.Son2Codec, StreamCodec::Classic);
}

TEST(PmtCodecs, ATruncatedLoopKeepsWhatCameBefore)
{
    Bytes s = Pmt(1, 0x100, {{0x1B, 0x100, {}}, {0x0F, 0x101, {}}});
    // Second stream's ES_info_length (section bytes 12 + 5 + 3, 4) runs past the end.
    s[20] = 0xF0;
    s[21] = 0x10;
    const Chaine c = Parsed(s);
    EXPECT_EQ(c.Video, 0x100);
    EXPECT_EQ(c.VideoCodec, StreamCodec::H264);
    EXPECT_EQ(c.Son1, 0);
}

}  // namespace
