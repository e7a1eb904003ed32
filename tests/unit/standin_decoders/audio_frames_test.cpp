#include "standins/decoders/audio_frames.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

using namespace standin;

namespace {

using Bytes = std::vector<std::uint8_t>;

// MPEG-1 layer II, 48 kHz, 192 kbit/s: 576-byte frames.
Bytes Layer2Frame(bool padding = false)
{
    Bytes f(576 + (padding ? 1 : 0), 0x55);
    f[0] = 0xFF;
    f[1] = 0xFD;   // MPEG-1, layer II, no CRC
    f[2] = 0xA4 | (padding ? 0x02 : 0);   // bitrate index 10 (192k), 48 kHz
    f[3] = 0x04;
    return f;
}

// AC-3 at 48 kHz, frmsizecod 30 (448 kbit/s): 896 words.
Bytes Ac3Frame()
{
    Bytes f(1792, 0x33);
    f[0] = 0x0B;
    f[1] = 0x77;
    f[2] = 0x12;
    f[3] = 0x34;
    f[4] = 0x00 | 30;
    return f;
}

}  // namespace

TEST(MpegAudioHeader, LayerTwoFramesOfBroadcastRates)
{
    const Bytes f = Layer2Frame();
    auto h = ParseMpegAudioHeader(f.data(), f.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(48000u, h->sampleRate);
    EXPECT_EQ(1152u, h->samplesPerFrame);
    EXPECT_EQ(576u, h->frameBytes);

    const Bytes padded = Layer2Frame(true);
    EXPECT_EQ(577u, ParseMpegAudioHeader(padded.data(), 4)->frameBytes);

    // MPEG-2 half rate (ID bit 0), layer II, 24 kHz, 64 kbit/s: 144 * 64000 / 24000 = 384.
    const std::uint8_t lsf[] = {0xFF, 0xF5, 0x84, 0x00};
    h = ParseMpegAudioHeader(lsf, 4);
    ASSERT_TRUE(h);
    EXPECT_EQ(24000u, h->sampleRate);
    EXPECT_EQ(1152u, h->samplesPerFrame);
    EXPECT_EQ(384u, h->frameBytes);
    // Layer I at 44.1 kHz, 32 kbit/s: (12 * 32000 / 44100) * 4 = 32 bytes, 384 samples.
    const std::uint8_t l1[] = {0xFF, 0xFF, 0x10, 0x00};
    h = ParseMpegAudioHeader(l1, 4);
    ASSERT_TRUE(h);
    EXPECT_EQ(384u, h->samplesPerFrame);
    EXPECT_EQ(32u, h->frameBytes);
}

TEST(MpegAudioHeader, RefusesReservedAndTruncated)
{
    const std::uint8_t badRate[] = {0xFF, 0xFD, 0xAC, 0x00};      // sampling index 3
    const std::uint8_t freeFormat[] = {0xFF, 0xFD, 0x04, 0x00};   // bitrate index 0
    const std::uint8_t badBitrate[] = {0xFF, 0xFD, 0xF4, 0x00};   // bitrate index 15
    const std::uint8_t noLayer[] = {0xFF, 0xF9, 0xA4, 0x00};      // layer bits 00
    const std::uint8_t noSync[] = {0xFF, 0xED, 0xA4, 0x00};
    for (const std::uint8_t* h : {badRate, freeFormat, badBitrate, noLayer, noSync})
        EXPECT_FALSE(ParseMpegAudioHeader(h, 4));
    const Bytes f = Layer2Frame();
    EXPECT_FALSE(ParseMpegAudioHeader(f.data(), 3));
}

TEST(Ac3SyncInfo, FrameSizesAndRates)
{
    const Bytes f = Ac3Frame();
    auto h = ParseAc3SyncInfo(f.data(), f.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(48000u, h->sampleRate);
    EXPECT_EQ(1536u, h->samplesPerFrame);
    EXPECT_EQ(1792u, h->frameBytes);
    // 44.1 kHz, frmsizecod 3 (odd, 40 kbit/s): 87 + 1 words.
    const std::uint8_t odd[] = {0x0B, 0x77, 0, 0, 0x40 | 3};
    EXPECT_EQ(176u, ParseAc3SyncInfo(odd, 5)->frameBytes);
    EXPECT_EQ(44100u, ParseAc3SyncInfo(odd, 5)->sampleRate);
    // 32 kHz, frmsizecod 37: 1920 words.
    const std::uint8_t top[] = {0x0B, 0x77, 0, 0, 0x80 | 37};
    EXPECT_EQ(3840u, ParseAc3SyncInfo(top, 5)->frameBytes);

    const std::uint8_t reservedRate[] = {0x0B, 0x77, 0, 0, 0xC0};
    const std::uint8_t badSize[] = {0x0B, 0x77, 0, 0, 38};
    EXPECT_FALSE(ParseAc3SyncInfo(reservedRate, 5));
    EXPECT_FALSE(ParseAc3SyncInfo(badSize, 5));
    EXPECT_FALSE(ParseAc3SyncInfo(f.data(), 4));
}

TEST(AudioFrameScanner, CountsWholeFramesAcrossArbitrarySplits)
{
    Bytes stream = {0x00, 0xFF, 0x12};   // junk before the first frame, with a lone FF
    for (int i = 0; i < 5; ++i) {
        const Bytes f = Layer2Frame();
        stream.insert(stream.end(), f.begin(), f.end());
    }
    for (std::size_t piece : {1u, 7u, 184u, 576u, 5000u}) {
        AudioFrameScanner scanner(AudioFormat::MpegAudio);
        std::vector<AudioFrameInfo> frames;
        for (std::size_t pos = 0; pos < stream.size(); pos += piece)
            scanner.Feed(stream.data() + pos, std::min(piece, stream.size() - pos), frames);
        EXPECT_EQ(5u, frames.size()) << piece;
    }
    // The last frame is counted only once complete.
    AudioFrameScanner scanner(AudioFormat::MpegAudio);
    std::vector<AudioFrameInfo> frames;
    scanner.Feed(stream.data(), stream.size() - 1, frames);
    EXPECT_EQ(4u, frames.size());
    scanner.Feed(&stream.back(), 1, frames);
    EXPECT_EQ(5u, frames.size());
}

TEST(AudioFrameScanner, Ac3FramesAfterAFalseSync)
{
    Bytes stream = {0x0B, 0x77, 0x00, 0x00, 0xFF};   // a sync word with an impossible size code
    for (int i = 0; i < 3; ++i) {
        const Bytes f = Ac3Frame();
        stream.insert(stream.end(), f.begin(), f.end());
    }
    AudioFrameScanner scanner(AudioFormat::Ac3);
    std::vector<AudioFrameInfo> frames;
    for (std::size_t pos = 0; pos < stream.size(); pos += 188)
        scanner.Feed(stream.data() + pos, std::min<std::size_t>(188, stream.size() - pos), frames);
    ASSERT_EQ(3u, frames.size());
    EXPECT_EQ(1536u, frames[2].samplesPerFrame);
}

TEST(Tone, QuietContinuousAndStereo)
{
    std::vector<std::int16_t> a(2 * 480), b(2 * 480);
    double phase = 0;
    SynthesizeTone(a.data(), 480, 48000, 1000.0, 300.0, phase);
    SynthesizeTone(b.data(), 480, 48000, 1000.0, 300.0, phase);
    int peak = 0;
    for (std::size_t i = 0; i < a.size(); i += 2) {
        EXPECT_EQ(a[i], a[i + 1]);
        peak = std::max(peak, std::abs(int{a[i]}));
    }
    EXPECT_GE(peak, 295);
    EXPECT_LE(peak, 300);
    // 480 samples are exactly ten periods at 1 kHz: the second block repeats the first.
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], 1);
}
