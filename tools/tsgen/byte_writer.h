#pragma once
// Appends big-endian fields to a byte vector, with back-patched 8-bit and
// 12-bit length fields for descriptors and descriptor loops.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tsgen {

class ByteWriter {
public:
    void U8(unsigned v) { data_.push_back(static_cast<std::uint8_t>(v)); }
    void U16(unsigned v)
    {
        U8(v >> 8);
        U8(v);
    }
    void Bytes(const std::string& s) { data_.insert(data_.end(), s.begin(), s.end()); }
    template <typename Container>
    void Bytes(const Container& c)
    {
        data_.insert(data_.end(), c.begin(), c.end());
    }

    // Opens an 8-bit length (a descriptor's); CloseLength8 fills in the bytes written since.
    std::size_t OpenLength8()
    {
        U8(0);
        return data_.size();
    }
    void CloseLength8(std::size_t mark)
    {
        const std::size_t length = data_.size() - mark;
        if (length > 255)
            throw std::length_error("descripteur de plus de 255 octets");
        data_[mark - 1] = static_cast<std::uint8_t>(length);
    }

    // Opens a 12-bit length whose top four bits are `flags` (reserved bits).
    std::size_t OpenLength12(unsigned flags)
    {
        U16(flags << 12);
        return data_.size();
    }
    void CloseLength12(std::size_t mark)
    {
        const std::size_t length = data_.size() - mark;
        if (length > 0x0FFF)
            throw std::length_error("boucle de plus de 4095 octets");
        data_[mark - 2] = static_cast<std::uint8_t>((data_[mark - 2] & 0xF0) | (length >> 8));
        data_[mark - 1] = static_cast<std::uint8_t>(length);
    }

    const std::vector<std::uint8_t>& data() const { return data_; }
    std::size_t size() const { return data_.size(); }

private:
    std::vector<std::uint8_t> data_;
};

}  // namespace tsgen
