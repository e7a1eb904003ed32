// Elementary stream headers: what decoders and the demultiplexer read first.
#include <gtest/gtest.h>

#include "tools/tsgen/audio_es.h"
#include "tools/tsgen/video_es.h"

namespace {

TEST(VideoStream, GopStartsWithASequenceHeaderOfTheDescribedFormat)
{
    tsgen::VideoStream v;
    v.width = 1920;
    v.height = 1080;
    v.aspectCode = 3;
    v.frameRateCode = 3;
    v.bitrate = 2000000;
    const auto first = tsgen::BuildVideoPicture(v, 0, {});
    ASSERT_GE(first.size(), 12u);
    EXPECT_EQ((std::vector<std::uint8_t>(first.begin(), first.begin() + 4)),
              (std::vector<std::uint8_t>{0x00, 0x00, 0x01, 0xB3}));
    EXPECT_EQ(first[4] << 4 | first[5] >> 4, 1920);
    EXPECT_EQ((first[5] & 0x0F) << 8 | first[6], 1080);
    EXPECT_EQ(first[7], 0x33);  // 16:9, 25 Hz
    // Padded to the bit rate: 2 Mbit/s at 25 Hz is 10000 bytes a picture at least.
    const auto second = tsgen::BuildVideoPicture(v, 1, {});
    EXPECT_EQ(second.size(), 10000u);
    EXPECT_EQ((std::vector<std::uint8_t>(second.begin(), second.begin() + 4)),
              (std::vector<std::uint8_t>{0x00, 0x00, 0x01, 0x00}))
        << "a P picture, without sequence header";
    const auto nextGop = tsgen::BuildVideoPicture(v, static_cast<std::uint64_t>(tsgen::GopLength(v)), {});
    EXPECT_EQ(nextGop[3], 0xB3);
}

TEST(AudioStream, LayerTwoFramesHaveAValidHeaderAndLength)
{
    for (std::uint32_t rate : {128000u, 192000u, 384000u}) {
        const auto frame = tsgen::BuildMpegAudioFrame(rate);
        ASSERT_EQ(frame.size(), 144 * rate / 48000);  // 24 ms at 48 kHz
        EXPECT_EQ(frame[0], 0xFF);
        EXPECT_EQ(frame[1], 0xFD);  // MPEG-1 layer II, no CRC
        EXPECT_EQ(frame[2] & 0x0C, 0x04) << "48 kHz";
    }
}

TEST(AudioStream, Ac3FramesPassBothCrcChecks)
{
    for (std::uint32_t rate : {192000u, 384000u, 448000u}) {
        const auto frame = tsgen::BuildAc3Frame(rate);
        const std::size_t words = 2 * rate / 1000;
        ASSERT_EQ(frame.size(), 2 * words);
        EXPECT_EQ(frame[0], 0x0B);
        EXPECT_EQ(frame[1], 0x77);
        const std::size_t end58 = 2 * ((words >> 1) + (words >> 3));
        EXPECT_EQ(tsgen::Crc16Ac3(frame.data() + 2, end58 - 2), 0) << "crc1 at " << rate;
        EXPECT_EQ(tsgen::Crc16Ac3(frame.data() + 2, frame.size() - 2), 0) << "crc2 at " << rate;
    }
}

}  // namespace
