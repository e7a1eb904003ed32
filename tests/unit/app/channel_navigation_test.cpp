// Channel stepping, typed numbers and wheel rotations.
#include "app/channel_navigation.h"

#include <gtest/gtest.h>

namespace {

Chaine Channel(std::int32_t frequency)
{
    Chaine c = MakeEmptyChaine();
    c.Frequence = frequency;
    return c;
}

// Two multiplexes interleaved: A at 0, 2, 4 and B at 1, 3; C alone at 5.
const ChannelList kList = {Channel(474166), Channel(498166), Channel(474166),
                           Channel(498166), Channel(474166), Channel(522166)};

TEST(ChannelStepping, WrapsAtBothEndsWhenNotRecording)
{
    EXPECT_EQ(SteppedChannel(kList, 2, Step::Next, false), 3);
    EXPECT_EQ(SteppedChannel(kList, 5, Step::Next, false), 0);
    EXPECT_EQ(SteppedChannel(kList, 0, Step::Previous, false), 5);
    EXPECT_EQ(SteppedChannel(kList, 3, Step::Previous, false), 2);
    // Before the first selection.
    EXPECT_EQ(SteppedChannel(kList, -1, Step::Next, false), 0);
    EXPECT_EQ(SteppedChannel(kList, -1, Step::Previous, false), 5);
    EXPECT_EQ(SteppedChannel({}, -1, Step::Next, false), -1);
}

TEST(ChannelStepping, StaysOnTheRecordedMultiplex)
{
    EXPECT_EQ(SteppedChannel(kList, 0, Step::Next, true), 2);
    EXPECT_EQ(SteppedChannel(kList, 4, Step::Next, true), 0);
    EXPECT_EQ(SteppedChannel(kList, 0, Step::Previous, true), 4);
    EXPECT_EQ(SteppedChannel(kList, 3, Step::Next, true), 1);
    EXPECT_EQ(SteppedChannel(kList, 1, Step::Previous, true), 3);
    // Alone on its multiplex: nowhere to go.
    EXPECT_EQ(SteppedChannel(kList, 5, Step::Next, true), -1);
    EXPECT_EQ(SteppedChannel(kList, 5, Step::Previous, true), -1);
    EXPECT_EQ(SteppedChannel(kList, -1, Step::Next, true), -1);
}

TEST(TypedNumber, DigitsFromBothKeyboardsAccumulateWithoutOverflow)
{
    EXPECT_EQ(DigitOfKey('0'), 0);
    EXPECT_EQ(DigitOfKey('9'), 9);
    EXPECT_EQ(DigitOfKey(0x60), 0);  // numeric keypad
    EXPECT_EQ(DigitOfKey(0x69), 9);
    EXPECT_FALSE(DigitOfKey('A'));
    EXPECT_FALSE(DigitOfKey(0x6A));  // keypad '*'

    EXPECT_EQ(AppendTypedDigit(AppendTypedDigit(0, 1), 5), 15);
    EXPECT_EQ(AppendTypedDigit(214748364, 7), 2147483647);
    EXPECT_EQ(AppendTypedDigit(214748364, 8), kTypedNumberTooLong);
    std::int32_t typed = 0;
    for (int i = 0; i < 40; ++i)
        typed = AppendTypedDigit(typed, 9);
    EXPECT_EQ(typed, kTypedNumberTooLong);
}

TEST(Wheel, OneChannelPerMessageFromANotchOn)
{
    EXPECT_EQ(WheelStep(120), Step::Previous);
    EXPECT_EQ(WheelStep(240), Step::Previous);
    EXPECT_EQ(WheelStep(-120), Step::Next);
    EXPECT_EQ(WheelStep(-360), Step::Next);
    EXPECT_FALSE(WheelStep(40));
    EXPECT_FALSE(WheelStep(-119));
    EXPECT_FALSE(WheelStep(0));
}

}  // namespace
