#pragma once
// The raw byte sequence payload of H.264 and HEVC NAL units: fixed-width and
// Exp-Golomb fields, the trailing bits, and the escaping that keeps a payload
// from ever looking like a start code in the byte stream.
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "tools/tsgen/bit_writer.h"
#include "tools/tsgen/description.h"

namespace tsgen {

class RbspWriter {
public:
    void U(std::uint32_t value, int bits) { w_.Put(value, bits); }
    void Ue(std::uint32_t value)
    {
        const std::uint64_t v = std::uint64_t{value} + 1;
        int bits = 0;
        while ((v >> bits) > 1)
            ++bits;
        w_.Put(0, bits);
        w_.Put(static_cast<std::uint32_t>(v), bits + 1);
    }
    void Se(std::int32_t value) { Ue(value > 0 ? 2u * static_cast<std::uint32_t>(value) - 1 : 2u * static_cast<std::uint32_t>(-value)); }
    // rbsp_trailing_bits: a one, then zeros to the byte boundary.
    void Trailing()
    {
        w_.Put(1, 1);
        w_.Align();
    }
    // Zero bits up to the byte boundary (pcm_alignment_zero_bit).
    void AlignZero() { w_.Align(); }
    void Byte(std::uint8_t b) { w_.Put(b, 8); }
    BitWriter& bits() { return w_; }
    std::vector<std::uint8_t>& bytes() { return w_.bytes(); }

private:
    BitWriter w_;
};

// Appends a payload with an emulation prevention byte wherever two zeros would
// be followed by 0..3.
inline void AppendEscaped(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& rbsp)
{
    int zeros = 0;
    for (std::uint8_t b : rbsp) {
        if (zeros >= 2 && b <= 3) {
            out.push_back(0x03);
            zeros = 0;
        }
        out.push_back(b);
        zeros = b == 0 ? zeros + 1 : 0;
    }
}

// Sample aspect ratio of the picture: its display aspect over its size, reduced.
struct SampleAspect {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
};

inline SampleAspect SampleAspectOf(const VideoStream& v)
{
    if (v.aspectCode != 2 && v.aspectCode != 3)
        return {};
    SampleAspect sar{(v.aspectCode == 2 ? 4u : 16u) * static_cast<std::uint32_t>(v.height),
                     (v.aspectCode == 2 ? 3u : 9u) * static_cast<std::uint32_t>(v.width)};
    const std::uint32_t g = std::gcd(sar.width, sar.height);
    return {sar.width / g, sar.height / g};
}

// aspect_ratio_info of the VUI, laid out alike in H.264 and HEVC.
inline void WriteAspectRatioInfo(RbspWriter& w, const VideoStream& v)
{
    const SampleAspect sar = SampleAspectOf(v);
    w.U(1, 1);  // aspect_ratio_info_present_flag
    if (sar.width == 1 && sar.height == 1) {
        w.U(1, 8);  // aspect_ratio_idc: square
    } else {
        w.U(255, 8);  // Extended_SAR
        w.U(sar.width, 16);
        w.U(sar.height, 16);
    }
}

// The SEI payload naming the stream's PID for the stand-in decoders: one
// user_data_unregistered message carrying "BTVPID=<pid>", alike in H.264 and HEVC.
inline std::vector<std::uint8_t> PidSeiRbsp(std::uint16_t pid)
{
    static constexpr std::uint8_t kUuid[16] = {0x42, 0x54, 0x56, 0x2D, 0x74, 0x73, 0x67, 0x65,
                                               0x6E, 0x2D, 0x70, 0x69, 0x64, 0x2D, 0x30, 0x31};
    const std::string text = "BTVPID=" + std::to_string(pid);
    RbspWriter w;
    w.Byte(5);  // payloadType: user_data_unregistered
    w.Byte(static_cast<std::uint8_t>(sizeof kUuid + text.size()));
    for (std::uint8_t b : kUuid)
        w.Byte(b);
    for (char c : text)
        w.Byte(static_cast<std::uint8_t>(c));
    w.Trailing();
    return std::move(w.bytes());
}

}  // namespace tsgen
