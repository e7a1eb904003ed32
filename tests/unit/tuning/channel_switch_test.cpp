#include "graph/channel_switch.h"

#include <gtest/gtest.h>

namespace {

Chaine Channel(std::int32_t frequency, std::int32_t numero, std::int32_t video, std::int32_t son1)
{
    Chaine c = MakeEmptyChaine();
    c.Frequence = frequency;
    c.Numero = numero;
    c.Video = video;
    c.Son1 = son1;
    return c;
}

const ChannelList kList = {
    Channel(474166, 1, 0x100, 0x101),  // 0
    Channel(474166, 2, 0x200, 0),      // 1: no sound
    Channel(498166, 3, 0x300, 0x301),  // 2
    Channel(474166, 3, 0x400, 0x401),  // 3: same number as 2, same multiplex as 0
};

TEST(ChannelSwitch, FirstSelectionAlwaysTunes)
{
    auto plan = PlanChannelSwitch(kList, -1, 0);
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->retune);
    EXPECT_EQ(plan->frequency, 474166u);
    EXPECT_EQ(plan->videoPid, 0x100);
    EXPECT_EQ(plan->audioPid, 0x101);
}

TEST(ChannelSwitch, RetunesOnlyAcrossMultiplexes)
{
    EXPECT_FALSE(PlanChannelSwitch(kList, 0, 1)->retune);
    EXPECT_FALSE(PlanChannelSwitch(kList, 3, 0)->retune);
    EXPECT_TRUE(PlanChannelSwitch(kList, 0, 2)->retune);
    EXPECT_EQ(PlanChannelSwitch(kList, 0, 2)->frequency, 498166u);
}

TEST(ChannelSwitch, SameChannelDoesNothingAndSilentChannelMapsNoAudio)
{
    EXPECT_FALSE(PlanChannelSwitch(kList, 2, 2));
    EXPECT_EQ(PlanChannelSwitch(kList, 0, 1)->audioPid, 0);
}

TEST(ChannelSwitch, TypedNumberTakesTheFirstAndStaysOnTheRecordedMultiplex)
{
    EXPECT_EQ(ChannelForTypedNumber(kList, 3, false, 0), 2);
    EXPECT_EQ(ChannelForTypedNumber(kList, 99, false, 0), -1);
    // Recording on 474166: number 3 names channel 2 first, on another multiplex;
    // the later channel 3 with the same number is not tried.
    EXPECT_EQ(ChannelForTypedNumber(kList, 3, true, 0), -1);
    EXPECT_EQ(ChannelForTypedNumber(kList, 2, true, 0), 1);
}

}  // namespace
