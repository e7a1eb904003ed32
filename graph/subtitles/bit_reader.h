#pragma once
// A bounded reader of bits, most significant first, over the bytes of one
// pixel-data block. Reading past the end gives zeros and fails for good, so a
// pixel string cut short ends instead of running into the next block.
#include <cstddef>
#include <cstdint>

class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) noexcept : data_(data), bits_(size * 8) {}

    unsigned bits(unsigned n) noexcept
    {
        if (!ok_ || n > bits_ - pos_) {
            ok_ = false;
            return 0;
        }
        unsigned value = 0;
        for (unsigned i = 0; i < n; ++i, ++pos_)
            value = value << 1 | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1u);
        return value;
    }

    // Skips to the next byte boundary (the stuffing bits after a string).
    void align() noexcept { pos_ = (pos_ + 7) & ~std::size_t{7}; if (pos_ > bits_) pos_ = bits_; }

    bool ok() const noexcept { return ok_; }
    bool atEnd() const noexcept { return !ok_ || pos_ >= bits_; }
    std::size_t bytePosition() const noexcept { return pos_ >> 3; }

private:
    const std::uint8_t* data_;
    std::size_t bits_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};
