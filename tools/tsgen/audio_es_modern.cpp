// The audio frames of today's broadcasts: AAC in ADTS and E-AC-3.
#include <algorithm>

#include "tools/tsgen/audio_es.h"
#include "tools/tsgen/bit_writer.h"

namespace tsgen {
namespace {

constexpr int kAdtsHeaderBits = 56;
constexpr int kAacSampleRateIndex48k = 3;
constexpr std::uint32_t kAacElementCpe = 1;
constexpr std::uint32_t kAacElementFil = 6;
constexpr std::uint32_t kAacElementEnd = 7;
constexpr int kLongestFill = 15 + 255 - 1;  // count 15 plus esc_count 255, less one

// An individual channel stream with no scale factor band: silence.
void SilentChannelStream(BitWriter& w)
{
    w.Put(100, 8);  // global_gain
    w.Put(0, 1);    // ics_reserved_bit
    w.Put(0, 2);    // window_sequence: ONLY_LONG_SEQUENCE
    w.Put(0, 1);    // window_shape
    w.Put(0, 6);    // max_sfb
    w.Put(0, 1);    // predictor_data_present
    w.Put(0, 1);    // pulse_data_present
    w.Put(0, 1);    // tns_data_present
    w.Put(0, 1);    // gain_control_data_present
}

// A fill element of `count` bytes of extension payload (EXT_FILL).
void FillElement(BitWriter& w, int count)
{
    w.Put(kAacElementFil, 3);
    if (count >= 15) {
        w.Put(15, 4);
        w.Put(static_cast<std::uint32_t>(count - 14), 8);
    } else {
        w.Put(static_cast<std::uint32_t>(count), 4);
    }
    w.Put(0, 4);  // extension_type: EXT_FILL
    w.Put(0, 4);  // fill_nibble
    for (int i = 1; i < count; ++i)
        w.Put(0xA5, 8);
}

// Puts `value` into `bits` bits at bit `offset` of an already written frame.
void Patch(std::vector<std::uint8_t>& bytes, std::size_t offset, int bits, std::uint32_t value)
{
    for (int i = 0; i < bits; ++i) {
        const std::size_t bit = offset + static_cast<std::size_t>(i);
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (bit % 8));
        if (value >> (bits - 1 - i) & 1u)
            bytes[bit / 8] |= mask;
        else
            bytes[bit / 8] &= static_cast<std::uint8_t>(~mask);
    }
}

}  // namespace

std::vector<std::uint8_t> BuildAacFrame(std::uint32_t bitrate)
{
    const int target = static_cast<int>(bitrate / 8 * kAacSamplesPerFrame / kAudioSampleRate);
    BitWriter w;
    w.Put(0xFFF, 12);  // syncword
    w.Put(0, 1);       // ID: MPEG-4
    w.Put(0, 2);       // layer
    w.Put(1, 1);       // protection_absent
    w.Put(1, 2);       // profile: AAC LC
    w.Put(kAacSampleRateIndex48k, 4);
    w.Put(0, 1);       // private_bit
    w.Put(2, 3);       // channel_configuration: stereo
    w.Put(0, 4);       // original, home, copyright bits
    w.Put(0, 13);      // aac_frame_length, set below
    w.Put(0x7FF, 11);  // adts_buffer_fullness: variable rate
    w.Put(0, 2);       // one raw data block

    w.Put(kAacElementCpe, 3);
    w.Put(0, 4);  // element_instance_tag
    w.Put(0, 1);  // common_window
    SilentChannelStream(w);
    SilentChannelStream(w);

    // Fill elements up to the rate, leaving room for the end element.
    int room = target * 8 - static_cast<int>(w.BitCount()) - 3;
    while (room >= 7 + 8) {
        const int count = room >= 15 + 8 * 15 ? std::min(kLongestFill, (room - 15) / 8) : std::min(14, (room - 7) / 8);
        FillElement(w, count);
        room -= (count >= 15 ? 15 : 7) + 8 * count;
    }
    w.Put(kAacElementEnd, 3);
    w.Align();
    std::vector<std::uint8_t>& frame = w.bytes();
    Patch(frame, 30, 13, static_cast<std::uint32_t>(frame.size()));
    static_assert(kAdtsHeaderBits == 56);
    return std::move(frame);
}

std::vector<std::uint8_t> BuildEac3Frame(std::uint32_t bitrate)
{
    constexpr int kChannels = 2;
    constexpr int kBlocks = 6;
    constexpr int kExponentGroups = 6;  // end mantissa 73 (chbwcod 0), strategy D45
    const std::size_t bytes = std::clamp<std::size_t>(bitrate / 250, 64, 4096) & ~std::size_t{1};

    BitWriter w;
    w.Put(0x0B77, 16);
    // bsi
    w.Put(0, 2);  // strmtyp: independent
    w.Put(0, 3);  // substreamid
    w.Put(static_cast<std::uint32_t>(bytes / 2 - 1), 11);  // frmsiz
    w.Put(0, 2);   // fscod: 48 kHz
    w.Put(3, 2);   // numblkscod: six blocks
    w.Put(2, 3);   // acmod: 2/0
    w.Put(0, 1);   // lfeon
    w.Put(16, 5);  // bsid
    w.Put(27, 5);  // dialnorm: -27 dB
    w.Put(0, 1);   // compre
    w.Put(0, 1);   // mixmdate
    w.Put(0, 1);   // infomdate
    w.Put(0, 1);   // addbsie
    // audfrm
    w.Put(1, 1);  // expstre: AC-3 style exponent strategies
    w.Put(0, 1);  // ahte
    w.Put(0, 2);  // snroffststr: one SNR offset for the frame
    w.Put(0, 1);  // transproce
    w.Put(0, 1);  // blkswe
    w.Put(1, 1);  // dithflage: the blocks say (no dither, true silence)
    w.Put(0, 1);  // bamode: default bit allocation parameters
    w.Put(0, 1);  // frmfgaincode
    w.Put(0, 1);  // dbaflde
    w.Put(0, 1);  // skipflde
    w.Put(0, 1);  // spxattene
    w.Put(0, 1);  // cplinu of block 0
    for (int block = 1; block < kBlocks; ++block)
        w.Put(0, 1);  // cplstre: coupling stays off
    for (int block = 0; block < kBlocks; ++block)
        for (int ch = 0; ch < kChannels; ++ch)
            w.Put(block == 0 ? 3 : 0, 2);  // chexpstr: D45, then reuse
    for (int ch = 0; ch < kChannels; ++ch)
        w.Put(0, 5);  // convexpstr
    w.Put(0, 6);      // frmcsnroffst
    w.Put(0, 4);      // frmfsnroffst: with exponents of 15, no mantissa is sent
    w.Put(0, 1);      // blkstrtinfoe
    // audblk
    for (int block = 0; block < kBlocks; ++block) {
        const bool first = block == 0;
        for (int ch = 0; ch < kChannels; ++ch)
            w.Put(0, 1);  // dithflag
        w.Put(0, 1);      // dynrnge
        w.Put(0, 1);      // spxinu (block 0), spxstre (the others)
        if (first) {
            w.Put(0, 4);  // rematflg of the four bands
            for (int ch = 0; ch < kChannels; ++ch)
                w.Put(0, 6);  // chbwcod
            for (int ch = 0; ch < kChannels; ++ch) {
                w.Put(15, 4);  // absolute exponent
                for (int g = 0; g < kExponentGroups; ++g)
                    w.Put(62, 7);  // three zero differences
                w.Put(0, 2);   // gainrng
            }
        } else {
            w.Put(0, 1);  // rematstr
        }
        w.Put(0, 1);  // convsnroffste
    }
    std::vector<std::uint8_t>& frame = w.bytes();
    frame.resize(bytes, 0);  // no auxiliary data, then crc2
    // crc2 covers the frame after the sync word; written last, it makes that CRC 0.
    const std::uint16_t crc = Crc16Ac3(frame.data() + 2, frame.size() - 4);
    frame[frame.size() - 2] = static_cast<std::uint8_t>(crc >> 8);
    frame[frame.size() - 1] = static_cast<std::uint8_t>(crc);
    return std::move(frame);
}

}  // namespace tsgen
