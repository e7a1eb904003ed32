// The ADTS header reader and the probe that finds the first header of an AAC stream
// in whole transport-stream packets.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "graph/aac_probe.h"
#include "graph/adts_header.h"

namespace {

// A header of the given fields; `crc` adds the two CRC bytes' flag (not the bytes).
std::vector<std::uint8_t> Header(unsigned profile, unsigned rateIndex, unsigned channels, unsigned frameLength,
                                 bool crc = false, unsigned layer = 0)
{
    return {0xFF,
            static_cast<std::uint8_t>(0xF0 | (layer << 1) | (crc ? 0 : 1)),
            static_cast<std::uint8_t>((profile << 6) | (rateIndex << 2) | (channels >> 2)),
            static_cast<std::uint8_t>(((channels & 3) << 6) | ((frameLength >> 11) & 3)),
            static_cast<std::uint8_t>(frameLength >> 3),
            static_cast<std::uint8_t>(((frameLength & 7) << 5) | 0x1F),
            0xFC};
}

TEST(AdtsHeader, ReadsTheFieldsAndRefusesWhatTheSyntaxForbids)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::optional<AudioFormat> format;  // nullopt: refused
        unsigned headerLength = 7;
    };
    const Case cases[] = {
        {"AAC-LC 48 kHz stereo", Header(1, 3, 2, 400), AudioFormat{48000, 2, 2}},
        {"HE-AAC: the header gives the core rate", Header(1, 6, 2, 300), AudioFormat{24000, 2, 2}},
        {"with CRC", Header(1, 4, 1, 300, true), AudioFormat{44100, 1, 2}, 9},
        {"7.1 is eight channels", Header(1, 3, 7, 900), AudioFormat{48000, 8, 2}},
        {"channels in a program config element", Header(0, 3, 0, 900), AudioFormat{48000, 0, 1}},
        {"reserved rate 13", Header(1, 13, 2, 400), std::nullopt},
        {"reserved profile", Header(3, 3, 2, 400), std::nullopt},
        {"layer not 0", Header(1, 3, 2, 400, false, 1), std::nullopt},
        {"frame shorter than its header", Header(1, 3, 2, 6), std::nullopt},
        {"no sync", {0xFF, 0xE1, 0x4C, 0x80, 0x32, 0x1F, 0xFC}, std::nullopt},
        {"six bytes only", {0xFF, 0xF1, 0x4C, 0x80, 0x32, 0x1F}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto header = ParseAdtsHeader(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(header.has_value(), c.format.has_value());
        if (!header)
            continue;
        EXPECT_EQ(header->format.sampleRate, c.format->sampleRate);
        EXPECT_EQ(header->format.channels, c.format->channels);
        EXPECT_EQ(header->format.objectType, c.format->objectType);
        EXPECT_EQ(header->headerLength, c.headerLength);
    }
    EXPECT_FALSE(ParseAdtsHeader(nullptr, 7));
}

constexpr std::uint16_t kAudioPid = 0x1A2;

// Transport packets of `pid` carrying `payload` as one PES packet, the first with an
// adaptation field of `stuffing` bytes.
std::vector<std::uint8_t> PesPackets(std::uint16_t pid, const std::vector<std::uint8_t>& payload,
                                     std::size_t stuffing = 0)
{
    std::vector<std::uint8_t> pes = {0, 0, 1, 0xC0, 0, 0, 0x80, 0x80, 5, 0x21, 0, 1, 0, 1};
    pes.insert(pes.end(), payload.begin(), payload.end());
    std::vector<std::uint8_t> out;
    std::size_t done = 0;
    for (bool first = true; done < pes.size(); first = false) {
        std::vector<std::uint8_t> packet = {0x47, static_cast<std::uint8_t>((first ? 0x40 : 0) | (pid >> 8)),
                                            static_cast<std::uint8_t>(pid), 0x10};
        const std::size_t take = std::min(184 - (first ? stuffing : 0), pes.size() - done);
        // What the payload does not fill is adaptation-field stuffing, all 0xFF bytes
        // that look like a sync word.
        if (const std::size_t stuff = 184 - take; stuff > 0) {
            packet[3] = 0x30;
            packet.push_back(static_cast<std::uint8_t>(stuff - 1));
            if (stuff > 1) {
                packet.push_back(0x00);
                packet.insert(packet.end(), stuff - 2, 0xFF);
            }
        }
        packet.insert(packet.end(), pes.begin() + static_cast<std::ptrdiff_t>(done),
                      pes.begin() + static_cast<std::ptrdiff_t>(done + take));
        done += take;
        out.insert(out.end(), packet.begin(), packet.end());
    }
    return out;
}

// `count` frames of `length` bytes, the header first and the body all 0xFF 0xF1, the
// worst false sync there is.
std::vector<std::uint8_t> Frames(unsigned rateIndex, unsigned channels, unsigned length, int count)
{
    std::vector<std::uint8_t> frames;
    for (int i = 0; i < count; ++i) {
        const auto header = Header(1, rateIndex, channels, length);
        frames.insert(frames.end(), header.begin(), header.end());
        for (unsigned b = 7; b < length; ++b)
            frames.push_back(b % 2 ? 0xF1 : 0xFF);
    }
    return frames;
}

bool Feed(AacProbe& probe, const std::vector<std::uint8_t>& packets)
{
    return probe.OnPackets(packets.data(), packets.size() / 188);
}

TEST(AacProbe, FindsTheFirstHeaderOfItsPidAcrossPackets)
{
    AacProbe probe(kAudioPid);
    // Other PIDs are ignored, even when they carry AAC of another format.
    EXPECT_TRUE(Feed(probe, PesPackets(0x1A3, Frames(3, 2, 300, 3))));
    EXPECT_FALSE(probe.Found());
    // Frames spread over several packets, after an adaptation field of 0xFF bytes.
    EXPECT_FALSE(Feed(probe, PesPackets(kAudioPid, Frames(6, 1, 250, 3), 20))) << "done: the tap drops it";
    ASSERT_TRUE(probe.Found());
    EXPECT_EQ(probe.Format().sampleRate, 24000u);
    EXPECT_EQ(probe.Format().channels, 1u);

    AudioFormat format;
    EXPECT_TRUE(WaitForAacFormat(probe, 0, format));
    EXPECT_EQ(format.sampleRate, 24000u);
}

TEST(AacProbe, BelievesAHeaderOnlyWhenTheNextFollowsIt)
{
    AacProbe probe(kAudioPid);
    // Data joined in mid-PES (no unit start yet) is not read at all.
    auto midStream = PesPackets(kAudioPid, Frames(3, 2, 300, 2));
    midStream[1] &= ~0x40;
    EXPECT_TRUE(Feed(probe, midStream));
    // One lone frame: no following header to confirm it yet.
    EXPECT_TRUE(Feed(probe, PesPackets(kAudioPid, Frames(4, 2, 200, 1))));
    EXPECT_FALSE(probe.Found());
    AudioFormat format;
    EXPECT_FALSE(WaitForAacFormat(probe, 20, format));
    // The next PES begins with the following frame.
    EXPECT_FALSE(Feed(probe, PesPackets(kAudioPid, Frames(4, 2, 200, 1))));
    ASSERT_TRUE(probe.Found());
    EXPECT_EQ(probe.Format().sampleRate, 44100u);
}

}  // namespace
