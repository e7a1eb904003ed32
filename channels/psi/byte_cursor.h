#pragma once
// A bounded reader over the bytes of one section (or a part of one).
//
// Every read checks what remains first. Reading past the end yields zeros and
// leaves the cursor failed for good, so a parser reads a whole entry and then
// asks ok() once, instead of checking every field: no byte outside the range
// given is ever touched.
#include <cstddef>
#include <cstdint>

class ByteCursor {
public:
    ByteCursor(const std::uint8_t* data, std::size_t size) noexcept : data_(data), size_(size) {}

    std::uint8_t u8() noexcept
    {
        if (!take(1))
            return 0;
        return data_[pos_ - 1];
    }

    std::uint16_t u16() noexcept
    {
        if (!take(2))
            return 0;
        return static_cast<std::uint16_t>(data_[pos_ - 2] << 8 | data_[pos_ - 1]);
    }

    // 13-bit packet identifier: the top three bits of the first byte are flags.
    std::uint16_t pid13() noexcept { return static_cast<std::uint16_t>(u16() & 0x1FFF); }

    // 12-bit length field: the top four bits of the first byte are flags or reserved.
    std::uint16_t len12() noexcept { return static_cast<std::uint16_t>(u16() & 0x0FFF); }

    void skip(std::size_t n) noexcept { take(n); }

    // The next n bytes, skipped over; null (and the cursor failed) when fewer remain.
    const std::uint8_t* bytes(std::size_t n) noexcept
    {
        if (!take(n))
            return nullptr;
        return data_ + (pos_ - n);
    }

    // A cursor over the next n bytes, which this one skips. A failed cursor when
    // fewer remain (and this one fails too).
    ByteCursor sub(std::size_t n) noexcept
    {
        const std::uint8_t* p = bytes(n);
        return p ? ByteCursor(p, n) : Failed();
    }

    std::size_t remaining() const noexcept { return ok_ ? size_ - pos_ : 0; }
    std::size_t position() const noexcept { return pos_; }
    bool ok() const noexcept { return ok_; }

private:
    static ByteCursor Failed() noexcept
    {
        ByteCursor c(nullptr, 0);
        c.ok_ = false;
        return c;
    }

    bool take(std::size_t n) noexcept
    {
        if (!ok_ || n > size_ - pos_) {
            ok_ = false;
            return false;
        }
        pos_ += n;
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// The bytes of a section that its loops may walk: everything but the CRC_32 at
// the end. An empty cursor when the section is not even four bytes long.
inline ByteCursor SectionBody(const std::uint8_t* section, std::size_t length) noexcept
{
    return ByteCursor(section, length >= 4 ? length - 4 : 0);
}
