// Pacing of a recorded transport stream by its PCR.
#include "standins/ts_pacer.h"

#include <gtest/gtest.h>

#include "tests/unit/standins/ts_writer.h"

namespace {

using standins::PcrPacer;
using standins::ReadPcr;

constexpr std::uint64_t kMaxPcr = (std::uint64_t{1} << 33) * 300 - 1;

TEST(ReadPcrTest, DecodesBaseAndExtension)
{
    for (std::uint64_t pcr : {std::uint64_t{0}, std::uint64_t{27'000'000}, std::uint64_t{123456789012}, kMaxPcr}) {
        auto packet = ts_test::Packet(0x100, 0, pcr, 0xFF);
        EXPECT_EQ(ReadPcr(packet.data(), packet.size()), pcr);
    }
}

TEST(ReadPcrTest, IgnoresPacketsWithoutAUsablePcr)
{
    auto plain = ts_test::Packet(0x100, 0, std::nullopt, 0xFF);
    EXPECT_FALSE(ReadPcr(plain.data(), plain.size()));

    auto noFlag = ts_test::Packet(0x100, 0, 1000, 0xFF);
    noFlag[5] = 0x00;
    EXPECT_FALSE(ReadPcr(noFlag.data(), noFlag.size()));

    // An adaptation field too short to hold the PCR it announces.
    auto shortField = ts_test::Packet(0x100, 0, 1000, 0xFF);
    shortField[4] = 1;
    EXPECT_FALSE(ReadPcr(shortField.data(), shortField.size()));

    auto lostSync = ts_test::Packet(0x100, 0, 1000, 0xFF);
    lostSync[0] = 0x00;
    EXPECT_FALSE(ReadPcr(lostSync.data(), lostSync.size()));

    auto whole = ts_test::Packet(0x100, 0, 1000, 0xFF);
    EXPECT_FALSE(ReadPcr(whole.data(), 100));  // not a whole packet
}

TEST(PcrPacerTest, PacketsAreDueWhenTheClockOfTheLastPcrSaysSo)
{
    PcrPacer pacer;
    // PCR every 30 ms (810 000 ticks), three packets per PCR, starting at an arbitrary count.
    auto stream = ts_test::Stream(0x100, 4, 3, 810'000, 5'000'000'000);
    std::vector<std::int64_t> due;
    for (std::size_t at = 0; at < stream.size(); at += 188) due.push_back(pacer.DueMicros(&stream[at], 188));
    EXPECT_EQ(due, (std::vector<std::int64_t>{0, 0, 0, 30'000, 30'000, 30'000, 60'000, 60'000, 60'000, 90'000,
                                              90'000, 90'000}));
}

TEST(PcrPacerTest, FollowsOnlyTheFirstPcrPid)
{
    PcrPacer pacer;
    auto first = ts_test::Packet(0x100, 0, 0, 0);
    auto other = ts_test::Packet(0x200, 0, 270'000'000, 0);  // ten seconds ahead, other PID
    auto second = ts_test::Packet(0x100, 1, 2'700'000, 0);
    EXPECT_EQ(pacer.DueMicros(first.data(), 188), 0);
    EXPECT_EQ(pacer.DueMicros(other.data(), 188), 0);
    EXPECT_EQ(pacer.DueMicros(second.data(), 188), 100'000);
}

TEST(PcrPacerTest, CrossesTheWrapOfTheClock)
{
    PcrPacer pacer;
    auto before = ts_test::Packet(0x100, 0, kMaxPcr - 269'999, 0);  // 10 ms before the wrap
    auto after = ts_test::Packet(0x100, 1, 540'000, 0);             // 20 ms after it
    EXPECT_EQ(pacer.DueMicros(before.data(), 188), 0);
    EXPECT_EQ(pacer.DueMicros(after.data(), 188), 30'000);
}

TEST(PcrPacerTest, StepsOverAJumpOfTheClockAtTheLastInterval)
{
    // The file loops: its first PCR comes again after its last one.
    PcrPacer pacer;
    auto stream = ts_test::Stream(0x100, 3, 1, 1'080'000);  // 0, 40, 80 ms
    for (std::size_t at = 0; at < stream.size(); at += 188) pacer.DueMicros(&stream[at], 188);
    EXPECT_EQ(pacer.DueMicros(&stream[0], 188), 120'000);
    EXPECT_EQ(pacer.DueMicros(&stream[188], 188), 160'000);

    pacer.Restart();
    EXPECT_EQ(pacer.DueMicros(&stream[376], 188), 0);
}

}  // namespace
