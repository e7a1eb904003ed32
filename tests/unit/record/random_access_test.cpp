// Where the picture resumes after a seek, for each video coding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/playback/random_access.h"
#include "tests/support/packets.h"

namespace {

using tstest::Bytes;
constexpr std::uint16_t kVideo = 0x100;

// A video PES packet whose data begins with an access unit delimiter, then `code`.
Bytes PictureStart(VideoCoding coding, std::uint8_t code)
{
    Bytes data;
    if (coding == VideoCoding::H264)
        data = {0, 0, 0, 1, 0x09, 0xF0};
    else if (coding == VideoCoding::Hevc)
        data = {0, 0, 0, 1, 0x46, 0x01, 0x50};
    const Bytes unit = {0, 0, 1, code, 0x01, 0x02, 0x03, 0x04};
    data.insert(data.end(), unit.begin(), unit.end());
    data.resize(400, 0x55);
    return data;
}

TEST(RandomAccess, WhichPicturesADecoderCanStartFrom)
{
    struct Case {
        std::string name;
        VideoCoding coding;
        std::uint8_t code;
        bool access;
    };
    const std::vector<Case> cases = {
        {"MPEG-2 sequence header", VideoCoding::Mpeg2, 0xB3, true},
        {"MPEG-2 group of pictures", VideoCoding::Mpeg2, 0xB8, true},
        {"MPEG-2 picture alone", VideoCoding::Mpeg2, 0x00, false},
        {"H.264 SPS", VideoCoding::H264, 0x67, true},
        {"H.264 IDR", VideoCoding::H264, 0x65, true},
        {"H.264 P slice", VideoCoding::H264, 0x41, false},
        {"HEVC IDR_W_RADL", VideoCoding::Hevc, 19 << 1, true},
        {"HEVC CRA", VideoCoding::Hevc, 21 << 1, true},
        {"HEVC VPS", VideoCoding::Hevc, 32 << 1, true},
        {"HEVC TRAIL_R", VideoCoding::Hevc, 1 << 1, false},
        {"an SPS byte read as HEVC", VideoCoding::Hevc, 0x67, false},
        {"unknown coding: headers do not count", VideoCoding::Unknown, 0xB3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tstest::TsWriter writer;
        writer.Pes(kVideo, 0xE0, PictureStart(c.coding, c.code), 90000);
        EXPECT_EQ(IsRandomAccessPacket(writer.bytes().data(), kVideo, c.coding), c.access);
        EXPECT_FALSE(IsRandomAccessPacket(writer.bytes().data(), kVideo + 1, c.coding));
        // The packets that continue the PES packet are never a starting point.
        EXPECT_FALSE(IsRandomAccessPacket(writer.bytes().data() + 188, kVideo, c.coding));
    }
}

TEST(RandomAccess, TheIndicatorOfTheAdaptationFieldCountsForAnyCoding)
{
    Bytes packet = tstest::PcrPacket(kVideo, 0, 0, 0xAA);
    EXPECT_FALSE(IsRandomAccessPacket(packet.data(), kVideo, VideoCoding::Unknown));
    packet[5] |= 0x40;  // random_access_indicator
    EXPECT_TRUE(IsRandomAccessPacket(packet.data(), kVideo, VideoCoding::Unknown));
}

TEST(RandomAccess, SearchFindsTheNextStartingPointAfterAnOffset)
{
    tstest::TsWriter writer;
    writer.Pes(kVideo, 0xE0, PictureStart(VideoCoding::H264, 0x67));  // packets 0-2
    writer.Pes(kVideo, 0xE0, PictureStart(VideoCoding::H264, 0x41));  // 3-5
    writer.NullPacket();                                              // 6
    writer.Pes(kVideo + 1, 0xE0, PictureStart(VideoCoding::H264, 0x67));  // 7-9, other PID
    writer.Pes(kVideo, 0xE0, PictureStart(VideoCoding::H264, 0x65));  // 10-12
    const Bytes& bytes = writer.bytes();
    MemoryByteSource source(bytes.data(), bytes.size());
    const TsProbe probe = ProbeTransportStream(source);
    EXPECT_EQ(FindRandomAccessPoint(source, probe, 0, kVideo, VideoCoding::H264, 1 << 20), 0u);
    EXPECT_EQ(FindRandomAccessPoint(source, probe, 1, kVideo, VideoCoding::H264, 1 << 20), 188u * 10);
    EXPECT_EQ(FindRandomAccessPoint(source, probe, 188, kVideo, VideoCoding::H264, 188 * 5), std::nullopt);
    EXPECT_EQ(FindRandomAccessPoint(source, probe, 188 * 11, kVideo, VideoCoding::H264, 1 << 20), std::nullopt);
}

}  // namespace
