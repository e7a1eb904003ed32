#include "standins/demux/section_router.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/support/sections.h"

namespace {

using namespace tstest;

using namespace std::chrono_literals;

class SectionRouterTest : public ::testing::Test {
protected:
    SectionRouter router{[this](std::uint16_t pid, bool map) { mapCalls.push_back({pid, map}); }};
    std::vector<std::pair<std::uint16_t, bool>> mapCalls;
};

TEST_F(SectionRouterTest, RequestTakesTheFirstMatchingValidSectionAfterItOpens)
{
    const Bytes early = OneServiceSdt(1, 0x101, "Avant");
    const Bytes sdt = OneServiceSdt(1, 0x102, "Après");
    Bytes damaged = OneServiceSdt(1, 0x103, "Abîmée");
    damaged[12] ^= 0x40;
    const Bytes pat = LongSection(0x00, 1, {0x01, 0x01, 0xE1, 0x00});

    router.Deliver(0x11, early.data(), early.size());  // before the request: not seen
    const auto id = router.OpenRequest(0x11, 0x42);
    router.Deliver(0x11, damaged.data(), damaged.size());
    router.Deliver(0x12, sdt.data(), sdt.size());  // wrong PID
    router.Deliver(0x11, pat.data(), pat.size());  // wrong table
    router.Deliver(0x11, sdt.data(), sdt.size() - 1);  // not whole
    router.Deliver(0x11, sdt.data(), sdt.size());
    router.Deliver(0x11, early.data(), early.size());  // later: the first one wins
    EXPECT_EQ(router.WaitRequest(id, 0ms), sdt);
}

TEST_F(SectionRouterTest, RequestTimesOutEmptyAndMapsItsPidMeanwhile)
{
    const auto start = std::chrono::steady_clock::now();
    const auto id = router.OpenRequest(0x10, 0x40);
    ASSERT_EQ(mapCalls.size(), 1u);
    EXPECT_EQ(mapCalls[0].first, 0x10);
    EXPECT_TRUE(mapCalls[0].second);
    EXPECT_TRUE(router.WaitRequest(id, 200ms).empty());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 190ms);
    EXPECT_LT(elapsed, 2000ms);
    ASSERT_EQ(mapCalls.size(), 2u);
    EXPECT_EQ(mapCalls[1].first, 0x10);
    EXPECT_FALSE(mapCalls[1].second);
}

TEST_F(SectionRouterTest, WaitingRequestWakesWhenTheSectionArrivesFromAnotherThread)
{
    const Bytes sdt = OneServiceSdt(1, 0x102, "Test");
    const auto id = router.OpenRequest(0x11, 0x42);
    std::thread streaming([&] {
        std::this_thread::sleep_for(50ms);
        router.Deliver(0x11, sdt.data(), sdt.size());
    });
    const auto start = std::chrono::steady_clock::now();
    const Bytes got = router.WaitRequest(id, 5000ms);
    streaming.join();
    EXPECT_EQ(got, sdt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);
}

TEST_F(SectionRouterTest, StreamGetsEachMatchingSectionUntilClosed)
{
    std::vector<Bytes> got;
    const auto id = router.OpenStream(0x12, 0x4E, [&](const std::uint8_t* s, std::size_t n) {
        got.emplace_back(s, s + n);
    });
    const Bytes a = LongSection(0x4E, 0x101, Pattern(40, 1));
    const Bytes b = LongSection(0x4E, 0x102, Pattern(60, 2));
    const Bytes other = LongSection(0x4F, 0x101, Pattern(40, 1));
    router.Deliver(0x12, a.data(), a.size());
    router.Deliver(0x12, other.data(), other.size());
    router.Deliver(0x12, b.data(), b.size());
    router.CloseStream(id);
    router.Deliver(0x12, a.data(), a.size());
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], a);
    EXPECT_EQ(got[1], b);
}

TEST_F(SectionRouterTest, PidIsMappedOnceWhileAnyoneUsesIt)
{
    const auto s1 = router.OpenStream(0x12, 0x4E, [](const std::uint8_t*, std::size_t) {});
    const auto s2 = router.OpenStream(0x12, 0x4F, [](const std::uint8_t*, std::size_t) {});
    const auto r = router.OpenRequest(0x12, 0x4E);
    EXPECT_EQ(mapCalls.size(), 1u);
    router.WaitRequest(r, 0ms);
    router.CloseStream(s1);
    EXPECT_EQ(mapCalls.size(), 1u);
    router.CloseStream(s2);
    ASSERT_EQ(mapCalls.size(), 2u);
    EXPECT_FALSE(mapCalls[1].second);
    router.CloseStream(s2);  // twice: harmless
    EXPECT_EQ(mapCalls.size(), 2u);
}

TEST_F(SectionRouterTest, SectionOfUnknownPidMatchesOnTableAlone)
{
    const Bytes sdt = OneServiceSdt(1, 0x102, "Test");
    const auto id = router.OpenRequest(0x11, 0x42);
    router.Deliver(SectionRouter::kUnknownPid, sdt.data(), sdt.size());
    EXPECT_EQ(router.WaitRequest(id, 0ms), sdt);
}

TEST_F(SectionRouterTest, ShutdownWakesWaitingRequests)
{
    const auto id = router.OpenRequest(0x11, 0x42);
    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        router.Shutdown();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(router.WaitRequest(id, 10000ms).empty());
    stopper.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5000ms);
}

TEST(SectionValidity, ShortFormIsAcceptedWithoutCrcAndLengthsMustAgree)
{
    const Bytes tdt = {0x70, 0x70, 0x05, 0xC0, 0x79, 0x12, 0x45, 0x00};
    EXPECT_TRUE(SectionRouter::IsWholeValidSection(tdt.data(), tdt.size()));
    EXPECT_FALSE(SectionRouter::IsWholeValidSection(tdt.data(), 2));
    const Bytes tooShortLong = {0x42, 0xB0, 0x02, 0x00, 0x00};
    EXPECT_FALSE(SectionRouter::IsWholeValidSection(tooShortLong.data(), tooShortLong.size()));
}

}  // namespace
