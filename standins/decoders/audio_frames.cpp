#include "standins/decoders/audio_frames.h"

#include <cmath>

namespace standin {

namespace {

// Bit rates in kbit/s by [version is MPEG-1][layer - 1][bitrate_index]; 0 = free/invalid.
constexpr std::uint16_t kMpeg1Rates[3][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
};
constexpr std::uint16_t kMpeg2Rates[3][16] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};
constexpr std::uint32_t kMpeg1SampleRates[3] = {44100, 48000, 32000};

// AC-3 frame sizes in 16-bit words by [frmsizecod / 2][fscod] (48, 44.1, 32 kHz).
constexpr std::uint16_t kAc3Words[19][3] = {
    {64, 69, 96},     {80, 87, 120},    {96, 104, 144},   {112, 121, 168},  {128, 139, 192},
    {160, 174, 240},  {192, 208, 288},  {224, 243, 336},  {256, 278, 384},  {320, 348, 480},
    {384, 417, 576},  {448, 487, 672},  {512, 557, 768},  {640, 696, 960},  {768, 835, 1152},
    {896, 975, 1344}, {1024, 1114, 1536}, {1152, 1253, 1728}, {1280, 1393, 1920},
};
constexpr std::uint32_t kAc3SampleRates[3] = {48000, 44100, 32000};

}  // namespace

std::optional<AudioFrameInfo> ParseMpegAudioHeader(const std::uint8_t* d, std::size_t size)
{
    if (!d || size < 4) return std::nullopt;
    if (d[0] != 0xFF || (d[1] & 0xF0) != 0xF0) return std::nullopt;
    const bool mpeg1 = (d[1] & 0x08) != 0;       // ID bit: 1 = MPEG-1, 0 = MPEG-2 half rates
    const int layerBits = (d[1] >> 1) & 0x03;     // 3 = layer I, 2 = II, 1 = III
    if (layerBits == 0) return std::nullopt;
    const int layer = 4 - layerBits;
    const int bitrateIndex = d[2] >> 4;
    const int rateIndex = (d[2] >> 2) & 0x03;
    const int padding = (d[2] >> 1) & 0x01;
    if (rateIndex == 3) return std::nullopt;
    const std::uint32_t kbps = (mpeg1 ? kMpeg1Rates : kMpeg2Rates)[layer - 1][bitrateIndex];
    if (kbps == 0) return std::nullopt;

    AudioFrameInfo f;
    f.sampleRate = kMpeg1SampleRates[rateIndex] / (mpeg1 ? 1 : 2);
    const std::uint32_t bps = kbps * 1000;
    if (layer == 1) {
        f.samplesPerFrame = 384;
        f.frameBytes = (12 * bps / f.sampleRate + padding) * 4;
    } else if (layer == 2 || mpeg1) {
        f.samplesPerFrame = 1152;
        f.frameBytes = 144 * bps / f.sampleRate + padding;
    } else {
        f.samplesPerFrame = 576;   // layer III at the half rates
        f.frameBytes = 72 * bps / f.sampleRate + padding;
    }
    return f;
}

std::optional<AudioFrameInfo> ParseAc3SyncInfo(const std::uint8_t* d, std::size_t size)
{
    if (!d || size < 5) return std::nullopt;
    if (d[0] != 0x0B || d[1] != 0x77) return std::nullopt;
    const int fscod = d[4] >> 6;
    const int frmsizecod = d[4] & 0x3F;
    if (fscod == 3 || frmsizecod >= 38) return std::nullopt;
    AudioFrameInfo f;
    f.sampleRate = kAc3SampleRates[fscod];
    f.samplesPerFrame = 1536;   // six audio blocks of 256 samples
    std::uint32_t words = kAc3Words[frmsizecod / 2][fscod];
    // At 44.1 kHz the odd codes carry one extra word to keep the bit rate exact.
    if (fscod == 1 && (frmsizecod & 1)) ++words;
    f.frameBytes = words * 2;
    return f;
}

std::optional<AudioFrameInfo> ParseAdtsHeader(const std::uint8_t* d, std::size_t size)
{
    static constexpr std::uint32_t kRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                                 22050, 16000, 12000, 11025, 8000,  7350};
    if (!d || size < 7) return std::nullopt;
    if (d[0] != 0xFF || (d[1] & 0xF6) != 0xF0) return std::nullopt;
    const int rateIndex = (d[2] >> 2) & 0x0F;
    if (rateIndex >= 13) return std::nullopt;
    const std::uint32_t length = static_cast<std::uint32_t>((d[3] & 0x03) << 11 | d[4] << 3 | d[5] >> 5);
    const std::uint32_t header = (d[1] & 0x01) ? 7 : 9;
    if (length < header) return std::nullopt;
    AudioFrameInfo f;
    f.sampleRate = kRates[rateIndex];
    f.samplesPerFrame = 1024 * (static_cast<std::uint32_t>(d[6] & 0x03) + 1);
    f.frameBytes = length;
    // channel_configuration: 1 to 6 channels as numbered, 7 is 7.1; 0 leaves it to the
    // stream's own configuration element.
    const std::uint32_t configuration = static_cast<std::uint32_t>((d[2] & 0x01) << 2 | d[3] >> 6);
    f.channels = configuration == 7 ? 8 : configuration;
    return f;
}

std::optional<AudioFrameInfo> ParseEac3SyncInfo(const std::uint8_t* d, std::size_t size)
{
    static constexpr std::uint32_t kBlocks[4] = {1, 2, 3, 6};
    if (!d || size < 6) return std::nullopt;
    if (d[0] != 0x0B || d[1] != 0x77) return std::nullopt;
    const int bsid = d[5] >> 3;
    if (bsid <= 10 || bsid > 16) return std::nullopt;
    const std::uint32_t words = static_cast<std::uint32_t>((d[2] & 0x07) << 8 | d[3]) + 1;
    const int fscod = d[4] >> 6;
    AudioFrameInfo f;
    if (fscod == 3) {
        const int fscod2 = (d[4] >> 4) & 0x03;
        if (fscod2 == 3) return std::nullopt;
        f.sampleRate = kAc3SampleRates[fscod2] / 2;
        f.samplesPerFrame = 1536;
    } else {
        f.sampleRate = kAc3SampleRates[fscod];
        f.samplesPerFrame = 256 * kBlocks[(d[4] >> 4) & 0x03];
    }
    f.frameBytes = words * 2;
    return f;
}

std::size_t AudioFrameScanner::HeaderBytes() const
{
    switch (format_) {
    case AudioFormat::Ac3: return 5;
    case AudioFormat::Eac3: return 6;
    case AudioFormat::Aac: return 7;
    case AudioFormat::MpegAudio: break;
    }
    return 4;
}

bool AudioFrameScanner::SyncAt(std::size_t pos) const
{
    if (format_ == AudioFormat::Ac3 || format_ == AudioFormat::Eac3) return pending_[pos] == 0x0B && (pos + 1 >= pending_.size() || pending_[pos + 1] == 0x77);
    return pending_[pos] == 0xFF && (pos + 1 >= pending_.size() || (pending_[pos + 1] & 0xF0) == 0xF0);
}

std::optional<AudioFrameInfo> AudioFrameScanner::ParseAt(std::size_t pos) const
{
    const std::uint8_t* p = pending_.data() + pos;
    const std::size_t n = pending_.size() - pos;
    switch (format_) {
    case AudioFormat::Ac3: return ParseAc3SyncInfo(p, n);
    case AudioFormat::Eac3: return ParseEac3SyncInfo(p, n);
    case AudioFormat::Aac: return ParseAdtsHeader(p, n);
    case AudioFormat::MpegAudio: break;
    }
    return ParseMpegAudioHeader(p, n);
}

void AudioFrameScanner::Feed(const std::uint8_t* data, std::size_t size, std::vector<AudioFrameInfo>& frames)
{
    if (!data || size == 0) return;
    pending_.insert(pending_.end(), data, data + size);
    std::size_t pos = 0;
    while (pos < pending_.size()) {
        if (!SyncAt(pos)) {
            ++pos;
            continue;
        }
        if (pending_.size() - pos < HeaderBytes()) break;    // wait for the rest of the header
        const auto frame = ParseAt(pos);
        if (!frame || frame->frameBytes < HeaderBytes()) {
            ++pos;                                           // a sync pattern inside other data
            continue;
        }
        if (pending_.size() - pos < frame->frameBytes) break;   // wait for the rest of the frame
        frames.push_back(*frame);
        pos += frame->frameBytes;
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void SynthesizeTone(std::int16_t* interleaved, std::size_t frames, std::uint32_t sampleRate, double frequency,
                    double amplitude, double& phase)
{
    if (!interleaved || sampleRate == 0) return;
    constexpr double kTwoPi = 6.283185307179586;
    const double step = frequency / sampleRate;
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(amplitude * std::sin(kTwoPi * phase)));
        interleaved[2 * i] = v;
        interleaved[2 * i + 1] = v;
        phase += step;
        if (phase >= 1.0) phase -= 1.0;
    }
}

}  // namespace standin
