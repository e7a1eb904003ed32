#include "graph/adts_header.h"

#include <iterator>

namespace {

constexpr std::size_t kFixedHeaderBytes = 7;
constexpr std::size_t kCrcBytes = 2;

// ISO/IEC 14496-3 sampling frequency index table; 13 and 14 are reserved and 15 (an
// explicit rate) cannot occur in ADTS.
constexpr std::uint32_t kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                    22050, 16000, 12000, 11025, 8000,  7350};

}  // namespace

std::uint32_t AacSampleRate(unsigned index)
{
    return index < std::size(kRates) ? kRates[index] : 0;
}

std::optional<AdtsHeader> ParseAdtsHeader(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < kFixedHeaderBytes)
        return std::nullopt;
    if (data[0] != 0xFF || (data[1] & 0xF0) != 0xF0)
        return std::nullopt;
    if ((data[1] & 0x06) != 0)  // layer is always 0 for AAC
        return std::nullopt;
    const bool crcAbsent = (data[1] & 0x01) != 0;
    const unsigned profile = data[2] >> 6;
    const unsigned rateIndex = (data[2] >> 2) & 0x0F;
    const unsigned channelConfig = ((data[2] & 0x01) << 2) | (data[3] >> 6);
    const unsigned frameLength = ((data[3] & 0x03u) << 11) | (unsigned(data[4]) << 3) | (data[5] >> 5);

    AdtsHeader header;
    header.headerLength = static_cast<std::uint8_t>(kFixedHeaderBytes + (crcAbsent ? 0 : kCrcBytes));
    if (profile == 3 || AacSampleRate(rateIndex) == 0 || frameLength < header.headerLength)
        return std::nullopt;
    header.frameLength = static_cast<std::uint16_t>(frameLength);
    header.format.sampleRate = AacSampleRate(rateIndex);
    // Configuration 7 is the 7.1 layout: eight channels.
    header.format.channels = static_cast<std::uint16_t>(channelConfig == 7 ? 8 : channelConfig);
    header.format.objectType = static_cast<std::uint8_t>(profile + 1);
    return header;
}
