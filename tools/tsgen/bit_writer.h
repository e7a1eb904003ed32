#pragma once
// Writes bit fields most significant bit first, as MPEG video and AC-3
// syntax is laid out.
#include <cstdint>
#include <vector>

namespace tsgen {

class BitWriter {
public:
    void Put(std::uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1u)
                bytes_.back() |= static_cast<std::uint8_t>(0x80u >> used_);
            used_ = (used_ + 1) & 7;
        }
    }
    // Pads with zero bits to the next byte boundary.
    void Align() { used_ = 0; }
    void Byte(std::uint8_t b)
    {
        Align();
        bytes_.push_back(b);
    }
    std::size_t BitCount() const { return bytes_.size() * 8 - (used_ ? 8 - used_ : 0); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    int used_ = 0;  // bits used in the last byte, 0 when aligned
};

}  // namespace tsgen
