#include "standins/demux/pes_assembler.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/packets.h"
#include "tests/support/sections.h"

namespace {

using namespace tstest;

struct Received {
    Bytes data;
    bool unitStart;
    bool discontinuity;
    bool hasPts;
    std::uint64_t pts;
};

class PesAssemblerTest : public ::testing::Test {
protected:
    PesAssembler MakeAssembler(std::uint16_t pid, std::size_t maxChunk = PesAssembler::kDefaultMaxChunk)
    {
        return PesAssembler(pid, [this](const PesChunk& c) {
            got.push_back({Bytes(c.data, c.data + c.size), c.unitStart, c.discontinuity, c.hasPts, c.pts});
        }, maxChunk);
    }
    static void FeedAll(PesAssembler& a, const Bytes& ts)
    {
        for (std::size_t at = 0; at + 188 <= ts.size(); at += 188)
            a.FeedPacket(ts.data() + at);
    }
    Bytes Joined() const
    {
        Bytes all;
        for (const Received& r : got)
            all.insert(all.end(), r.data.begin(), r.data.end());
        return all;
    }
    std::vector<Received> got;
};

TEST_F(PesAssemblerTest, BoundedPacketsGiveTheirPayloadAtOnceWithTheirPts)
{
    TsWriter ts;
    const Bytes first = Pattern(1000, 1);
    const Bytes second = Pattern(50, 9);
    const std::uint64_t pts = 0x1'2345'6789;  // uses the 33rd bit
    ts.Pes(0x44, 0xC0, first, pts);
    ts.Pes(0x45, 0xC0, Pattern(300, 3));  // another PID: ignored
    ts.Pes(0x44, 0xC0, second);
    auto a = MakeAssembler(0x44);
    FeedAll(a, ts.bytes());

    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].data, first);
    EXPECT_TRUE(got[0].unitStart);
    EXPECT_TRUE(got[0].hasPts);
    EXPECT_EQ(got[0].pts, pts);
    EXPECT_FALSE(got[0].discontinuity);
    EXPECT_EQ(got[1].data, second);
    EXPECT_FALSE(got[1].hasPts);
}

TEST_F(PesAssemblerTest, UnboundedPacketEndsWhereTheNextBegins)
{
    TsWriter ts;
    const Bytes first = Pattern(5000, 2);
    ts.Pes(0x100, 0xE0, first, 900, false);
    auto a = MakeAssembler(0x100);
    FeedAll(a, ts.bytes());
    EXPECT_TRUE(got.empty()) << "an unbounded packet may still grow";

    TsWriter both;
    both.Pes(0x100, 0xE0, first, 900, false);
    both.Pes(0x100, 0xE0, Pattern(10, 4), 1800, false);
    got.clear();
    auto b = MakeAssembler(0x100);
    FeedAll(b, both.bytes());
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].data, first);
    EXPECT_EQ(got[0].pts, 900u);
}

TEST_F(PesAssemblerTest, LongUnboundedPacketComesInBoundedPieces)
{
    TsWriter ts;
    const Bytes big = Pattern(10000, 5);
    ts.Pes(0x100, 0xE0, big, std::nullopt, false);
    ts.Pes(0x100, 0xE0, Pattern(1, 0), std::nullopt, false);
    auto a = MakeAssembler(0x100, 4096);
    FeedAll(a, ts.bytes());

    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].data.size(), 4096u);
    EXPECT_EQ(got[1].data.size(), 4096u);
    EXPECT_TRUE(got[0].unitStart);
    EXPECT_FALSE(got[1].unitStart);
    EXPECT_FALSE(got[2].unitStart);
    EXPECT_EQ(Joined(), big);
}

TEST_F(PesAssemblerTest, LostPacketDropsTheUnitAndMarksTheNextOne)
{
    TsWriter ts;
    ts.Pes(0x44, 0xC0, Pattern(600, 1));  // four packets
    const Bytes complete = ts.bytes();
    Bytes damaged(complete.begin(), complete.begin() + 188);
    damaged.insert(damaged.end(), complete.begin() + 2 * 188, complete.end());  // second lost
    TsWriter after;
    for (int i = 0; i < 4; ++i)
        after.SkipCounter(0x44);
    const Bytes good = Pattern(100, 7);
    after.Pes(0x44, 0xC0, good);
    damaged.insert(damaged.end(), after.bytes().begin(), after.bytes().end());

    auto a = MakeAssembler(0x44);
    FeedAll(a, damaged);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].data, good);
    EXPECT_TRUE(got[0].discontinuity);
}

TEST_F(PesAssemblerTest, RepeatedPacketIsIgnored)
{
    TsWriter ts;
    const Bytes payload = Pattern(400, 3);
    ts.Pes(0x44, 0xC0, payload);
    Bytes stream(ts.bytes().begin(), ts.bytes().begin() + 2 * 188);
    stream.insert(stream.end(), ts.bytes().begin() + 188, ts.bytes().begin() + 2 * 188);  // again
    stream.insert(stream.end(), ts.bytes().begin() + 2 * 188, ts.bytes().end());
    auto a = MakeAssembler(0x44);
    FeedAll(a, stream);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].data, payload);
    EXPECT_FALSE(got[0].discontinuity);
}

TEST_F(PesAssemblerTest, HeaderSplitAcrossPacketsIsJoined)
{
    // First packet: a large adaptation field leaves 4 payload bytes, the start
    // of a 14-byte header; the second packet has the rest and the payload.
    const Bytes payload = Pattern(20, 6);
    Bytes pes = {0x00, 0x00, 0x01, 0xC0, 0x00, 0x00, 0x80, 0x80, 0x05, 0x21, 0x00, 0x01, 0x00, 0x03};
    pes.insert(pes.end(), payload.begin(), payload.end());
    pes[5] = static_cast<std::uint8_t>(pes.size() - 6);

    Bytes stream(2 * 188, 0xFF);
    std::uint8_t* p = stream.data();
    p[0] = 0x47; p[1] = 0x40; p[2] = 0x44; p[3] = 0x30;
    p[4] = 183 - 4; p[5] = 0x00;
    std::memcpy(p + 188 - 4, pes.data(), 4);
    std::uint8_t* q = stream.data() + 188;
    const std::size_t rest = pes.size() - 4;
    q[0] = 0x47; q[1] = 0x00; q[2] = 0x44; q[3] = 0x31;
    q[4] = static_cast<std::uint8_t>(183 - rest); q[5] = 0x00;
    std::memcpy(q + 188 - rest, pes.data() + 4, rest);

    auto a = MakeAssembler(0x44);
    FeedAll(a, stream);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].data, payload);
    EXPECT_TRUE(got[0].hasPts);
    EXPECT_EQ(got[0].pts, 1u);
}

TEST_F(PesAssemblerTest, DamagedOrScrambledPacketsGiveNothing)
{
    TsWriter ts;
    ts.Pes(0x44, 0xC0, Pattern(100, 1));
    Bytes bytes = ts.bytes();
    const std::size_t at = 5 + bytes[4];  // after the adaptation field
    bytes[at + 2] = 0x02;                 // start code prefix broken
    auto a = MakeAssembler(0x44);
    FeedAll(a, bytes);
    EXPECT_TRUE(got.empty());

    TsWriter scrambled;
    scrambled.Pes(0x44, 0xC0, Pattern(100, 1));
    Bytes s = scrambled.bytes();
    s[3] |= 0x80;
    auto b = MakeAssembler(0x44);
    FeedAll(b, s);
    EXPECT_TRUE(got.empty());

    TsWriter errored;
    errored.Pes(0x44, 0xC0, Pattern(100, 1));
    Bytes e = errored.bytes();
    e[1] |= 0x80;
    auto c = MakeAssembler(0x44);
    FeedAll(c, e);
    EXPECT_TRUE(got.empty());
}

}  // namespace
