// H.264, HEVC, AAC and E-AC-3 elementary streams: the framing decoders rely on.
#include <gtest/gtest.h>

#include "tools/tsgen/audio_es.h"
#include "tools/tsgen/h264_es.h"
#include "tools/tsgen/hevc_es.h"

namespace {

// nal_unit_type of each NAL unit found behind a 00 00 01 start code.
std::vector<int> NalTypes(const std::vector<std::uint8_t>& es)
{
    std::vector<int> types;
    for (std::size_t i = 0; i + 3 < es.size(); ++i)
        if (es[i] == 0 && es[i + 1] == 0 && es[i + 2] == 1)
            types.push_back(es[i + 3] & 0x1F);
    return types;
}

TEST(H264Stream, GopStartsWithParameterSetsAndAnIdrAndNothingLooksLikeAStartCode)
{
    tsgen::VideoStream v;
    v.codec = tsgen::VideoCodec::H264;
    v.pid = 0x110;
    v.width = 1920;
    v.height = 1080;
    v.bitrate = 2000000;
    // A colour of zero bytes in the I_PCM samples needs emulation prevention.
    const auto idr = tsgen::BuildH264Picture(v, 0, {0, 0, 0});
    EXPECT_EQ(NalTypes(idr), (std::vector<int>{9, 7, 8, 6, 5}));
    EXPECT_EQ(idr.size(), 10000u) << "padded to 2 Mbit/s at 25 Hz";
    const auto p = tsgen::BuildH264Picture(v, 1, {0, 0, 0});
    EXPECT_EQ(NalTypes(p), (std::vector<int>{9, 1}));
    EXPECT_EQ(NalTypes(tsgen::BuildH264Picture(v, static_cast<std::uint64_t>(tsgen::GopLength(v)), {})).back(), 5);
}

// nal_unit_type of each HEVC NAL unit: six bits of its two-byte header.
std::vector<int> HevcNalTypes(const std::vector<std::uint8_t>& es)
{
    std::vector<int> types;
    for (std::size_t i = 0; i + 4 < es.size(); ++i)
        if (es[i] == 0 && es[i + 1] == 0 && es[i + 2] == 1)
            types.push_back(es[i + 3] >> 1 & 0x3F);
    return types;
}

TEST(HevcStream, GopStartsWithParameterSetsAndAnIdrAndNothingLooksLikeAStartCode)
{
    tsgen::VideoStream v;
    v.codec = tsgen::VideoCodec::Hevc;
    v.pid = 0x110;
    v.width = 1920;
    v.height = 1080;
    v.bitrate = 2000000;
    const auto idr = tsgen::BuildHevcPicture(v, 0, {0, 0, 0});
    // AUD, VPS, SPS, PPS, prefix SEI, IDR_N_LP.
    EXPECT_EQ(HevcNalTypes(idr), (std::vector<int>{35, 32, 33, 34, 39, 20}));
    EXPECT_EQ(idr.size(), 10000u) << "padded to 2 Mbit/s at 25 Hz";
    EXPECT_EQ(HevcNalTypes(tsgen::BuildHevcPicture(v, 1, {0, 0, 0})), (std::vector<int>{35, 1}));
    EXPECT_EQ(HevcNalTypes(tsgen::BuildHevcPicture(v, static_cast<std::uint64_t>(tsgen::GopLength(v)), {})).back(), 20);
}

TEST(AudioStream, AacFramesCarryTheirLengthAndFillToTheRate)
{
    for (std::uint32_t rate : {32000u, 96000u, 128000u, 576000u}) {
        const auto frame = tsgen::BuildAacFrame(rate);
        ASSERT_GE(frame.size(), 14u);
        EXPECT_EQ(frame[0], 0xFF);
        EXPECT_EQ(frame[1] & 0xF6, 0xF0);  // sync, layer 0
        EXPECT_EQ((frame[3] & 0x03) << 11 | frame[4] << 3 | frame[5] >> 5, static_cast<int>(frame.size()));
        EXPECT_LE(frame.size(), rate / 8 * 1024 / 48000);
        EXPECT_GE(frame.size() + 2, rate / 8 * 1024 / 48000) << rate;
    }
}

TEST(AudioStream, Eac3FramesHaveTheirSizeAndACrcOfZero)
{
    for (std::uint32_t rate : {96000u, 256000u, 640500u}) {
        const auto frame = tsgen::BuildEac3Frame(rate);
        ASSERT_GE(frame.size(), 64u);
        EXPECT_EQ(frame[0], 0x0B);
        EXPECT_EQ(frame[1], 0x77);
        EXPECT_EQ(((frame[2] & 0x07) << 8 | frame[3]) + 1, static_cast<int>(frame.size() / 2));
        EXPECT_EQ(frame[5] >> 3, 16) << "bsid of E-AC-3";
        EXPECT_EQ(tsgen::Crc16Ac3(frame.data() + 2, frame.size() - 2), 0);
    }
}

}  // namespace
