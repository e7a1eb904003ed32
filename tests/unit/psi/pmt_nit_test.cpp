#include <gtest/gtest.h>

#include "channels/psi/psi_parsers.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

Chaine Parsed(const Bytes& pmt)
{
    ChannelList list{MakeEmptyChaine(), MakeEmptyChaine()};
    ParsePmt(pmt.data(), pmt.size(), 1, list);
    EXPECT_EQ(list[0].PCR, 0) << "another record was changed";
    return list[1];
}

TEST(Pmt, VideoAudioAndAc3Pids)
{
    const Chaine c = Parsed(Pmt(0x401, 0x78,
                                {{0x02, 0x78, Descriptor(0x52, {0x01})},
                                 {0x04, 0x82, Descriptor(0x0A, Text("fra\0"))},
                                 {0x06, 0x86, Concat({Descriptor(0x0A, Text("fra\0")), Ac3Descriptor()})},
                                 {0x06, 0x87, Descriptor(0x59, Bytes(8, 0))}},  // subtitles
                                Descriptor(0x09, Bytes(4, 0))));                // program info is skipped
    EXPECT_EQ(c.PCR, 0x78);
    EXPECT_EQ(c.Video, 0x78);
    EXPECT_EQ(c.Son1, 0x82);
    EXPECT_EQ(c.Son2, 0);
    EXPECT_EQ(c.Ac3, 0x86);
}

TEST(Pmt, FirstAudioGivesSon1AndTheLastLaterOneSon2)
{
    const Chaine two = Parsed(Pmt(1, 0x100, {{0x03, 0x101, {}}, {0x04, 0x102, {}}}));
    EXPECT_EQ(two.Son1, 0x101);
    EXPECT_EQ(two.Son2, 0x102);
    const Chaine three = Parsed(Pmt(1, 0x100, {{0x03, 0x101, {}}, {0x04, 0x102, {}}, {0x04, 0x103, {}}}));
    EXPECT_EQ(three.Son1, 0x101);
    EXPECT_EQ(three.Son2, 0x103);
}

TEST(Pmt, Ac3NeedsBothPrivateDataTypeAndAc3Descriptor)
{
    EXPECT_EQ(Parsed(Pmt(1, 0x100, {{0x06, 0x110, {}}})).Ac3, 0);
    EXPECT_EQ(Parsed(Pmt(1, 0x100, {{0x04, 0x110, Ac3Descriptor()}})).Ac3, 0);
    EXPECT_EQ(Parsed(Pmt(1, 0x100, {{0x81, 0x110, Ac3Descriptor()}})).Ac3, 0);
    EXPECT_EQ(Parsed(Pmt(1, 0x100, {{0x06, 0x110, Ac3Descriptor()}, {0x06, 0x111, Ac3Descriptor()}})).Ac3,
              0x111);
}

TEST(Pmt, PcrPidIsKeptEvenWhenItMeansNone)
{
    const Chaine c = Parsed(Pmt(1, 0x1FFF, {{0x02, 0x100, {}}}));
    EXPECT_EQ(c.PCR, kNoPcrPid);
    EXPECT_EQ(c.Video, 0x100);
}

TEST(Pmt, PositionOutsideTheListChangesNothing)
{
    const Bytes s = Pmt(1, 0x100, {{0x02, 0x100, {}}});
    ChannelList list{MakeEmptyChaine()};
    ParsePmt(s.data(), s.size(), 1, list);
    EXPECT_EQ(list[0].Video, 0);
    ChannelList empty;
    ParsePmt(s.data(), s.size(), 0, empty);
}

TEST(Pmt, StreamWhoseDescriptorsRunPastTheEndIsNotApplied)
{
    Bytes s = Pmt(1, 0x100, {{0x02, 0x100, {}}, {0x04, 0x101, {}}});
    // Second stream's ES_info_length (section bytes 12 + 5 + 3, 4).
    s[20] = 0xF0;
    s[21] = 0x10;
    const Chaine c = Parsed(s);
    EXPECT_EQ(c.Video, 0x100);
    EXPECT_EQ(c.Son1, 0);
}

Chaine Service(std::int32_t onid, std::int32_t tsid, std::int32_t sid)
{
    Chaine c = MakeEmptyChaine();
    c.ONID = onid;
    c.TSID = tsid;
    c.SID = sid;
    return c;
}

void Nit(const Bytes& s, ChannelList& list) { ApplyNit(s.data(), s.size(), list); }

TEST(Nit, LogicalChannelNumbersGoToEveryMatchingRecord)
{
    ChannelList list{Service(0x20FA, 4, 0x401), Service(0x20FA, 4, 0x402), Service(0x20FA, 6, 0x401),
                     Service(0x20FB, 4, 0x401), Service(0x20FA, 4, 0x401)};
    Nit(tstest::Nit(0x20FA,
                          {{4, 0x20FA, Concat({Descriptor(0x41, {0x04, 0x01, 0x01}),
                                               LogicalChannelDescriptor({{0x401, 5}, {0x402, 6}})})},
                           {6, 0x20FA, LogicalChannelDescriptor({{0x401, 801}})}},
                          Descriptor(0x40, Text("F"))),  // network name, skipped
        list);
    EXPECT_EQ(list[0].Numero, 5);
    EXPECT_EQ(list[1].Numero, 6);
    EXPECT_EQ(list[2].Numero, 801);
    EXPECT_EQ(list[3].Numero, 0);  // other network
    EXPECT_EQ(list[4].Numero, 5);
}

TEST(Nit, NumberIsTheLowTenBits)
{
    ChannelList list{Service(1, 2, 3)};
    Nit(tstest::Nit(1, {{2, 1, Descriptor(0x83, {0x00, 0x03, 0x80, 0x05})}}), list);
    EXPECT_EQ(list[0].Numero, 5);
    Nit(tstest::Nit(1, {{2, 1, Descriptor(0x83, {0x00, 0x03, 0x7F, 0xFF})}}), list);
    EXPECT_EQ(list[0].Numero, 0x3FF);
}

TEST(Nit, UnscannedTransportStreamOrOtherDescriptorsChangeNothing)
{
    ChannelList list{Service(1, 2, 3)};
    list[0].Numero = 9;
    Nit(tstest::Nit(1, {{7, 1, LogicalChannelDescriptor({{3, 5}})},
                              {2, 1, Descriptor(0x82, {0x00, 0x03, 0xFC, 0x05})},
                              {2, 1, Descriptor(0x83, {})}}),
        list);
    EXPECT_EQ(list[0].Numero, 9);
}

TEST(Nit, LoopLengthFromTheSectionBoundsTheEntries)
{
    ChannelList list{Service(1, 2, 3), Service(1, 4, 3)};
    Bytes s = tstest::Nit(1, {{2, 1, LogicalChannelDescriptor({{3, 5}})},
                                    {4, 1, LogicalChannelDescriptor({{3, 6}})}});
    // transport_stream_loop_length (bytes 10, 11) shortened to the first entry:
    // the second one, still in the bytes, is not read.
    s[11] = 6 + 6;
    ApplyNit(s.data(), s.size(), list);
    EXPECT_EQ(list[0].Numero, 5);
    EXPECT_EQ(list[1].Numero, 0);
}

// terrestrial_delivery_system_descriptor: the centre frequency in 10 Hz units,
// then bandwidth, constellation, code rates and the rest (7 bytes).
Bytes Delivery(std::uint32_t tensOfHz, std::size_t rest = 7)
{
    Bytes payload{static_cast<std::uint8_t>(tensOfHz >> 24), static_cast<std::uint8_t>(tensOfHz >> 16),
                  static_cast<std::uint8_t>(tensOfHz >> 8), static_cast<std::uint8_t>(tensOfHz)};
    payload.resize(4 + rest, 0x1F);
    return Descriptor(0x5A, payload);
}

TEST(NitDeliveries, CentreFrequencyOfEachStreamInKilohertz)
{
    struct Case {
        const char* what;
        std::vector<NitTransportStream> streams;
        std::vector<std::uint32_t> expectedKHz;  // with tsid = index of the entry + 1
    } cases[] = {
        {"two streams, other descriptors around",
         {{1, 0x20FA, Concat({LogicalChannelDescriptor({{3, 5}}), Delivery(47416667)})},
          {2, 0x20FA, Delivery(48216600)}},
         {474166, 482166}},
        {"no delivery descriptor", {{1, 0x20FA, LogicalChannelDescriptor({{3, 5}})}}, {}},
        {"descriptor too short for its frequency", {{1, 0x20FA, Delivery(47416667, 0)}}, {474166}},
        {"frequency cut in half", {{1, 0x20FA, Descriptor(0x5A, {0x02, 0xD3})}}, {}},
        {"frequency zero", {{1, 0x20FA, Delivery(0)}}, {}},
    };
    for (const Case& c : cases) {
        const Bytes s = tstest::Nit(0x20FA, c.streams);
        const std::vector<AnnouncedStream> got = ReadNitDeliveries(s.data(), s.size());
        ASSERT_EQ(got.size(), c.expectedKHz.size()) << c.what;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].tsid, i + 1) << c.what;
            EXPECT_EQ(got[i].onid, 0x20FA) << c.what;
            EXPECT_EQ(got[i].centreKHz, static_cast<std::int32_t>(c.expectedKHz[i])) << c.what;
        }
    }
}

TEST(NitDeliveries, ReadsNothingOutsideTheSection)
{
    Bytes s = tstest::Nit(1, {{2, 1, Delivery(47416667)}});
    for (std::size_t cut = 0; cut < s.size(); ++cut) {
        const Bytes head(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_LE(ReadNitDeliveries(head.data(), head.size()).size(), 1u) << cut;
    }
    EXPECT_TRUE(ReadNitDeliveries(nullptr, 0).empty());
}

}  // namespace
