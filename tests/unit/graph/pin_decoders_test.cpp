// Which pins a channel or a track reconnects, and when a missing decoder is to be said.
#include <gtest/gtest.h>

#include "graph/bda_topology_plan.h"
#include "graph/pin_decoders.h"

namespace {

using SC = StreamCodec;

TEST(PinDecoders, ReconnectOnlyForAnotherCodecAndSayWhenTheDecoderIsMissing)
{
    struct Case {
        const char* what;
        PinDecoder pin;
        std::optional<StreamCodec> wanted;
        bool reconnect;
        bool lacks;
    };
    const Case cases[] = {
        {"same codec, decoded", {SC::Classic, true}, SC::Classic, false, false},
        {"same codec, no decoder", {SC::Classic, false}, SC::Classic, false, true},
        {"another codec, no decoder behind the old one", {SC::Classic, false}, SC::H264, true, false},
        {"back to the codec without decoder", {SC::H264, true}, SC::Classic, true, false},
        {"pin left as it is", {SC::Eac3, false}, std::nullopt, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(NeedsReconnect(c.pin, c.wanted), c.reconnect);
        EXPECT_EQ(LacksDecoder(c.pin, c.wanted), c.lacks);
    }

    PinDecoders pins;
    pins.audio = {SC::AacAdts, true};
    EXPECT_EQ(PinsToReconnect(pins, {SC::Classic, SC::AacAdts, std::nullopt}), 0);
    EXPECT_EQ(PinsToReconnect(pins, {SC::H264, SC::Classic, SC::Eac3}), 3);
    pins[PlayingPin::Ac3].codec = SC::Eac3;
    EXPECT_EQ(PinsToReconnect(pins, {SC::H264, SC::AacAdts, SC::Eac3}), 1);
}

TEST(BdaTopologyPlan, PinsComeFromTheTemplateElseThePinTypes)
{
    constexpr std::uint32_t P = kTemplatePin;
    struct Case {
        const char* what;
        std::vector<TemplateLink> links;
        std::vector<std::uint32_t> types;
        std::uint32_t input, output;
    };
    const Case cases[] = {
        {"tuner node between antenna 0 and transport 1", {{P, 0, 0, 0}, {0, 1, 1, 0}, {1, 1, P, 1}}, {0, 1}, 0, 1},
        {"pins of other types", {{P, 2, 0, 0}, {0, 1, P, 5}}, {2, 5}, 2, 5},
        {"no template: the pin types", {}, {3, 4, 7}, 3, 7},
        {"nothing known", {}, {}, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TopologyPins pins = PlanTopologyPins(c.links, c.types);
        EXPECT_EQ(pins.inputType, c.input);
        EXPECT_EQ(pins.outputType, c.output);
    }
}

}  // namespace
