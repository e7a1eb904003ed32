// Pacing of a recorded transport stream by its PCR.
#include "standins/ts_pacer.h"

#include <gtest/gtest.h>

#include "tests/support/packets.h"

namespace {

using standins::PcrPacer;

constexpr std::uint64_t kMaxPcr = kPcrModulus - 1;

TEST(PcrPacerTest, PacketsAreDueWhenTheClockOfTheLastPcrSaysSo)
{
    PcrPacer pacer;
    // PCR every 30 ms (810 000 ticks), three packets per PCR, starting at an arbitrary count.
    auto stream = tstest::PcrStream(0x100, 4, 3, 810'000, 5'000'000'000);
    std::vector<std::int64_t> due;
    for (std::size_t at = 0; at < stream.size(); at += 188) due.push_back(pacer.DueMicros(&stream[at], 188));
    EXPECT_EQ(due, (std::vector<std::int64_t>{0, 0, 0, 30'000, 30'000, 30'000, 60'000, 60'000, 60'000, 90'000,
                                              90'000, 90'000}));
}

TEST(PcrPacerTest, FollowsOnlyTheFirstPcrPid)
{
    PcrPacer pacer;
    auto first = tstest::PcrPacket(0x100, 0, 0, 0);
    auto other = tstest::PcrPacket(0x200, 0, 270'000'000, 0);  // ten seconds ahead, other PID
    auto second = tstest::PcrPacket(0x100, 1, 2'700'000, 0);
    EXPECT_EQ(pacer.DueMicros(first.data(), 188), 0);
    EXPECT_EQ(pacer.DueMicros(other.data(), 188), 0);
    EXPECT_EQ(pacer.DueMicros(second.data(), 188), 100'000);
}

TEST(PcrPacerTest, CrossesTheWrapOfTheClock)
{
    PcrPacer pacer;
    auto before = tstest::PcrPacket(0x100, 0, kMaxPcr - 269'999, 0);  // 10 ms before the wrap
    auto after = tstest::PcrPacket(0x100, 1, 540'000, 0);             // 20 ms after it
    EXPECT_EQ(pacer.DueMicros(before.data(), 188), 0);
    EXPECT_EQ(pacer.DueMicros(after.data(), 188), 30'000);
}

TEST(PcrPacerTest, StepsOverAJumpOfTheClockAtTheLastInterval)
{
    // The file loops: its first PCR comes again after its last one.
    PcrPacer pacer;
    auto stream = tstest::PcrStream(0x100, 3, 1, 1'080'000);  // 0, 40, 80 ms
    for (std::size_t at = 0; at < stream.size(); at += 188) pacer.DueMicros(&stream[at], 188);
    EXPECT_EQ(pacer.DueMicros(&stream[0], 188), 120'000);
    EXPECT_EQ(pacer.DueMicros(&stream[188], 188), 160'000);

    pacer.Restart();
    EXPECT_EQ(pacer.DueMicros(&stream[376], 188), 0);
}

}  // namespace
