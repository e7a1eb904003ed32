#include "standins/demux/ts_router.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/packets.h"
#include "tests/support/sections.h"

namespace {

using namespace tstest;

constexpr int kVideo = 1;
constexpr int kData = 2;
constexpr int kRaw = 3;

class TsRouterTest : public ::testing::Test {
protected:
    TsRouter router{[this](const RoutedData& d) {
        received[d.output].push_back(Bytes(d.data, d.data + d.size));
        pids[d.output].push_back(d.pid);
    }};
    Bytes Joined(int output) const
    {
        Bytes all;
        auto found = received.find(output);
        if (found == received.end())
            return all;
        for (const Bytes& b : found->second)
            all.insert(all.end(), b.begin(), b.end());
        return all;
    }
    std::map<int, std::vector<Bytes>> received;
    std::map<int, std::vector<std::uint16_t>> pids;
};

TEST_F(TsRouterTest, EachOutputGetsWhatIsMappedOnIt)
{
    const Bytes sdt = OneServiceSdt(1, 0x101, "Test 1");
    const Bytes video1 = Pattern(3000, 1);
    const Bytes video2 = Pattern(200, 2);
    const Bytes audio = Pattern(500, 3);
    TsWriter ts;
    ts.Section(0x11, sdt);
    ts.Pes(0x100, 0xE0, video1);
    ts.Pes(0x101, 0xC0, audio);
    ts.NullPacket();
    ts.Pes(0x100, 0xE0, video2);

    ASSERT_TRUE(router.Map(kVideo, 0x100, PidContent::ElementaryStream));
    ASSERT_TRUE(router.Map(kData, 0x11, PidContent::Psi));
    ASSERT_TRUE(router.Map(kRaw, 0x101, PidContent::TransportPacket));
    router.Feed(ts.bytes().data(), ts.bytes().size());

    ASSERT_EQ(received[kVideo].size(), 2u);
    EXPECT_EQ(received[kVideo][0], video1);
    EXPECT_EQ(received[kVideo][1], video2);
    ASSERT_EQ(received[kData].size(), 1u);
    EXPECT_EQ(received[kData][0], sdt);
    EXPECT_EQ(pids[kData][0], 0x11);
    // The audio PES fits in three packets, handed over as they are.
    const Bytes& raw = Joined(kRaw);
    ASSERT_EQ(raw.size(), 3u * 188);
    for (std::size_t at = 0; at < raw.size(); at += 188)
        EXPECT_EQ(((raw[at + 1] & 0x1F) << 8) | raw[at + 2], 0x101);
    EXPECT_EQ(received.size(), 3u) << "nothing for any other output";
}

TEST_F(TsRouterTest, StreamCutAnywhereAndGarbageBetweenPacketsGiveTheSameResult)
{
    const Bytes video = Pattern(2500, 4);
    TsWriter ts;
    ts.Pes(0x100, 0xE0, video);
    ts.Pes(0x100, 0xE0, video);
    Bytes stream = ts.bytes();
    // Three stray bytes between two packets: the router must find the next sync byte.
    stream.insert(stream.begin() + 188 * 20, {0x00, 0x12, 0x34});
    router.Map(kVideo, 0x100, PidContent::ElementaryStream);
    const std::size_t cuts[] = {1, 100, 187, 189, 1000};
    std::size_t at = 0;
    for (std::size_t i = 0; at < stream.size(); ++i) {
        const std::size_t n = std::min(cuts[i % 5], stream.size() - at);
        router.Feed(stream.data() + at, n);
        at += n;
    }
    ASSERT_EQ(received[kVideo].size(), 2u);
    EXPECT_EQ(received[kVideo][0], video);
    EXPECT_EQ(received[kVideo][1], video);
}

TEST_F(TsRouterTest, MappingsAreListedChangedAndRemoved)
{
    EXPECT_FALSE(router.Map(kVideo, 0x2000, PidContent::ElementaryStream));
    for (std::uint16_t pid = 0x200; pid < 0x20A; ++pid)
        router.Map(kVideo, pid, PidContent::ElementaryStream);
    router.Map(kVideo, 0x203, PidContent::Psi);  // remapped, keeps its place
    router.Map(kData, 0x12, PidContent::Psi);
    auto list = router.Mappings(kVideo);
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list[0].pid, 0x200);
    EXPECT_EQ(list[3].pid, 0x203);
    EXPECT_EQ(list[3].content, PidContent::Psi);
    EXPECT_EQ(list[9].pid, 0x209);

    EXPECT_TRUE(router.Unmap(kVideo, 0x205));
    EXPECT_FALSE(router.Unmap(kVideo, 0x205));
    EXPECT_FALSE(router.Unmap(kVideo, 0x12)) << "mapped on another output";
    EXPECT_EQ(router.Mappings(kVideo).size(), 9u);
    router.UnmapOutput(kVideo);
    EXPECT_TRUE(router.Mappings(kVideo).empty());
    EXPECT_EQ(router.Mappings(kData).size(), 1u);
}

TEST_F(TsRouterTest, UnmappedPidStopsAtTheNextFeedAndOthersKeepTheirUnits)
{
    const Bytes video = Pattern(3000, 1);
    TsWriter ts;
    ts.Pes(0x100, 0xE0, video, std::nullopt, false);
    ts.Pes(0x100, 0xE0, Pattern(10, 1), std::nullopt, false);
    const Bytes& s = ts.bytes();
    router.Map(kVideo, 0x100, PidContent::ElementaryStream);
    router.Map(kVideo, 0x101, PidContent::ElementaryStream);
    router.Feed(s.data(), 188 * 5);
    // Mapping changes while the video PES is half-built must not lose it.
    router.Unmap(kVideo, 0x101);
    router.Map(kData, 0x11, PidContent::Psi);
    router.Feed(s.data() + 188 * 5, s.size() - 188 * 5);
    ASSERT_EQ(received[kVideo].size(), 1u);
    EXPECT_EQ(received[kVideo][0], video);

    router.Unmap(kVideo, 0x100);
    TsWriter more;
    for (int i = 0; i < 30; ++i)
        more.SkipCounter(0x100);
    more.Pes(0x100, 0xE0, Pattern(100, 1));
    router.Feed(more.bytes().data(), more.bytes().size());
    EXPECT_EQ(received[kVideo].size(), 1u);
}

TEST_F(TsRouterTest, SectionsWithABadCrcAreNotDelivered)
{
    Bytes bad = OneServiceSdt(1, 0x101, "Test 1");
    bad[10] ^= 0x01;
    const Bytes good = OneServiceSdt(1, 0x102, "Test 2");
    TsWriter ts;
    ts.Section(0x11, bad);
    ts.Section(0x11, good);
    router.Map(kData, 0x11, PidContent::Psi);
    router.Feed(ts.bytes().data(), ts.bytes().size());
    ASSERT_EQ(received[kData].size(), 1u);
    EXPECT_EQ(received[kData][0], good);
}

TEST_F(TsRouterTest, ResetForgetsPartialData)
{
    const Bytes video = Pattern(1000, 1);
    TsWriter ts;
    ts.Pes(0x100, 0xE0, video);
    ts.Pes(0x100, 0xE0, video);
    router.Map(kVideo, 0x100, PidContent::ElementaryStream);
    router.Feed(ts.bytes().data(), 188 * 3 + 50);  // the first PES is incomplete
    router.Reset();
    router.Feed(ts.bytes().data() + 188 * 6, ts.bytes().size() - 188 * 6);
    ASSERT_EQ(received[kVideo].size(), 1u);
    EXPECT_EQ(received[kVideo][0], video);
}

}  // namespace
