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

TEST(PinDecoders, MessagesNameTheDecoderAndWhatIsLost)
{
    EXPECT_EQ(MissingDecoderAtBuild(PlayingPin::Ac3, SC::Classic),
              L"Aucun d\u00e9codeur AC-3 n'est install\u00e9 : le son AC-3 ne sera pas disponible.");
    EXPECT_EQ(MissingDecoderAtBuild(PlayingPin::Video, SC::Classic),
              L"Aucun d\u00e9codeur MPEG-2 vid\u00e9o n'est install\u00e9 : l'image des cha\u00eenes MPEG-2 ne "
              L"sera pas affich\u00e9e.");
    EXPECT_EQ(MissingDecoderForChoice(PlayingPin::Audio, SC::AacLatm),
              L"Aucun d\u00e9codeur AAC n'est install\u00e9 : le son de cette cha\u00eene ne peut pas \u00eatre "
              L"entendu.");
    EXPECT_EQ(DecoderLabel(PlayingPin::Ac3, SC::Eac3), L"E-AC-3");
    EXPECT_EQ(DecoderLabel(PlayingPin::Audio, SC::Classic), L"audio MPEG");
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
        {"a template without its output", {{P, 0, 0, 0}}, {0, 1}, 0, 1},
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
