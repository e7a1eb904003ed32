#include "tools/tsgen/audio_es.h"

#include <stdexcept>

#include "tools/tsgen/bit_writer.h"

namespace tsgen {
namespace {

constexpr std::uint32_t kLayer2Rates[] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr std::uint32_t kAc3Rates[] = {32,  40,  48,  56,  64,  80,  96,  112, 128, 160,
                                       192, 224, 256, 320, 384, 448, 512, 576, 640};

int IndexOf(const std::uint32_t* table, std::size_t count, std::uint32_t kbps)
{
    for (std::size_t i = 0; i < count; ++i)
        if (table[i] == kbps && kbps)
            return static_cast<int>(i);
    throw std::invalid_argument("débit audio non normalisé : " + std::to_string(kbps) + " kbit/s");
}

// The AC-3 audio blocks of a silent 2/0 frame. Block 0 must carry every
// strategy; the others reuse them. Exponents are all 15 and the SNR offsets
// 0, which makes every bit allocation pointer 0: no mantissa is sent.
void SilentAc3Blocks(BitWriter& w)
{
    constexpr int kChannels = 2;
    constexpr int kEndMantissa = 73;   // chbwcod 0: 37 + 3 * (0 + 12)
    constexpr int kGroupSize = 12;     // exponent strategy D45
    constexpr int kGroups = (kEndMantissa + kGroupSize - 4) / kGroupSize;
    for (int block = 0; block < 6; ++block) {
        const bool first = block == 0;
        for (int ch = 0; ch < kChannels; ++ch)
            w.Put(0, 1);  // blksw
        for (int ch = 0; ch < kChannels; ++ch)
            w.Put(0, 1);  // dithflag
        w.Put(0, 1);      // dynrnge
        w.Put(first, 1);  // cplstre
        if (first)
            w.Put(0, 1);  // cplinu: no coupling
        w.Put(first, 1);  // rematstr
        if (first)
            w.Put(0, 4);  // rematflg of the four bands
        for (int ch = 0; ch < kChannels; ++ch)
            w.Put(first ? 3 : 0, 2);  // chexpstr: D45, then reuse
        if (first) {
            for (int ch = 0; ch < kChannels; ++ch)
                w.Put(0, 6);  // chbwcod
            for (int ch = 0; ch < kChannels; ++ch) {
                w.Put(15, 4);  // absolute exponent
                for (int g = 0; g < kGroups; ++g)
                    w.Put(62, 7);  // three zero differences: (2 * 25) + (2 * 5) + 2
                w.Put(0, 2);   // gainrng
            }
        }
        w.Put(first, 1);  // baie
        if (first) {
            w.Put(2, 2);  // sdcycod
            w.Put(1, 2);  // fdcycod
            w.Put(1, 2);  // sgaincod
            w.Put(2, 2);  // dbpbcod
            w.Put(7, 3);  // floorcod
        }
        w.Put(first, 1);  // snroffste
        if (first) {
            w.Put(0, 6);  // csnroffst
            for (int ch = 0; ch < kChannels; ++ch) {
                w.Put(0, 4);  // fsnroffst
                w.Put(4, 3);  // fgaincod
            }
        }
        w.Put(0, 1);  // deltbaie
        w.Put(0, 1);  // skiple
    }
}

// The CRC of `length` bytes with the 16-bit value `value` in the first two
// and zeros after: a linear function of `value`.
std::uint16_t CrcOfLeadingWord(std::uint16_t value, std::size_t length)
{
    std::vector<std::uint8_t> bytes(length, 0);
    bytes[0] = static_cast<std::uint8_t>(value >> 8);
    bytes[1] = static_cast<std::uint8_t>(value);
    return Crc16Ac3(bytes.data(), bytes.size());
}

}  // namespace

std::uint16_t Crc16Ac3(const std::uint8_t* data, std::size_t length)
{
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < length; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x8005 : crc << 1);
    }
    return crc;
}

std::vector<std::uint8_t> BuildMpegAudioFrame(std::uint32_t bitrate)
{
    const int index = IndexOf(kLayer2Rates, std::size(kLayer2Rates), bitrate / 1000);
    // 144 * bit rate / sample rate bytes; at 48 kHz this never needs a padding slot.
    std::vector<std::uint8_t> frame(144 * bitrate / kAudioSampleRate, 0);
    frame[0] = 0xFF;
    frame[1] = 0xFD;  // sync, MPEG-1, layer II, no CRC
    frame[2] = static_cast<std::uint8_t>(index << 4 | 1 << 2);  // bit rate, 48 kHz, no padding
    frame[3] = 0x04;  // stereo, original
    // An all-zero body allocates no bits to any subband: silence.
    return frame;
}

std::vector<std::uint8_t> BuildAc3Frame(std::uint32_t bitrate)
{
    const int index = IndexOf(kAc3Rates, std::size(kAc3Rates), bitrate / 1000);
    const std::size_t words = 2 * (bitrate / 1000);  // 16-bit words a frame at 48 kHz
    BitWriter w;
    w.Put(0x0B77, 16);
    w.Put(0, 16);  // crc1, set below
    w.Put(0, 2);   // fscod: 48 kHz
    w.Put(static_cast<std::uint32_t>(index * 2), 6);
    w.Put(8, 5);   // bsid
    w.Put(0, 3);   // bsmod: complete main
    w.Put(2, 3);   // acmod: 2/0
    w.Put(0, 2);   // dsurmod
    w.Put(0, 1);   // lfeon
    w.Put(27, 5);  // dialnorm: -27 dB
    w.Put(0, 1);   // compre
    w.Put(0, 1);   // langcode
    w.Put(0, 1);   // audprodie
    w.Put(0, 1);   // copyrightb
    w.Put(1, 1);   // origbs
    w.Put(0, 1);   // timecod1e
    w.Put(0, 1);   // timecod2e
    w.Put(0, 1);   // addbsie
    SilentAc3Blocks(w);
    std::vector<std::uint8_t>& frame = w.bytes();
    frame.resize(words * 2, 0);  // auxiliary data, auxdatae 0, crcrsv 0, crc2

    // crc1 checks the first 5/8 of the frame after the sync word and sits at
    // its start, so it is the value whose CRC cancels that of the rest.
    const std::size_t end58 = 2 * ((words >> 1) + (words >> 3));
    const std::uint16_t rest = Crc16Ac3(frame.data() + 2, end58 - 2);
    std::uint16_t basis[16];
    for (int bit = 0; bit < 16; ++bit)
        basis[bit] = CrcOfLeadingWord(static_cast<std::uint16_t>(1u << bit), end58 - 2);
    std::uint32_t crc1 = 0;
    for (; crc1 <= 0xFFFF; ++crc1) {
        std::uint16_t value = 0;
        for (int bit = 0; bit < 16; ++bit)
            if (crc1 >> bit & 1)
                value ^= basis[bit];
        if (value == rest)
            break;
    }
    frame[2] = static_cast<std::uint8_t>(crc1 >> 8);
    frame[3] = static_cast<std::uint8_t>(crc1);
    // crc2 closes the frame: the CRC of everything after the sync word is then 0.
    const std::uint16_t crc2 = Crc16Ac3(frame.data() + end58, frame.size() - 2 - end58);
    frame[frame.size() - 2] = static_cast<std::uint8_t>(crc2 >> 8);
    frame[frame.size() - 1] = static_cast<std::uint8_t>(crc2);
    return std::move(frame);
}

}  // namespace tsgen
