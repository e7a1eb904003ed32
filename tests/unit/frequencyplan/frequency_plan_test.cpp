#include "channels/frequency_plan.h"

#include <climits>

#include <gtest/gtest.h>

namespace {

TEST(FrequencyPlan, ChannelNumbersBecomeCentreFrequencies)
{
    EXPECT_EQ(ChannelToFrequencyKHz(21), 474166);
    EXPECT_EQ(ChannelToFrequencyKHz(69), 858166);
    EXPECT_EQ(ChannelToFrequencyKHz(0), 306166);
    EXPECT_EQ(ChannelToFrequencyKHz(-1), 298166);
    EXPECT_EQ(ChannelToFrequencyKHz(4000000000LL), INT32_MAX);
    EXPECT_EQ(ChannelToFrequencyKHz(-4000000000LL), INT32_MIN);
}

TEST(FrequencyPlan, FullBandIsChannels21To69)
{
    const std::vector<std::int32_t> band = FullBandFrequencies();
    ASSERT_EQ(band.size(), 49u);
    for (std::size_t i = 0; i < band.size(); ++i)
        EXPECT_EQ(band[i], 474166 + 8000 * static_cast<std::int32_t>(i));
    EXPECT_EQ(band.back(), 858166);
}

TEST(FrequencyPlan, CityKeysGiveSixFrequenciesInKeyOrder)
{
    std::vector<std::int32_t> f;
    AppendCityFrequencies(f, {21, 24, 27, 0, 33, 35});
    EXPECT_EQ(f, (std::vector<std::int32_t>{474166, 498166, 522166, 306166, 570166, 586166}));
}

TEST(FrequencyPlan, NoFirstKeyMeansTheWholeBand)
{
    std::vector<std::int32_t> f;
    AppendCityFrequencies(f, {0, 24, 27, 30, 33, 35});
    EXPECT_EQ(f, FullBandFrequencies());
}

}  // namespace
