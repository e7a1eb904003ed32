#pragma once
// Random access to the bytes of a recording, a time-shift buffer or a test's
// vector, so that the stream's index and the search for a picture to start from
// run the same on a file and in memory. A recording of an hour of a whole
// multiplex is some 14 GB: nothing here ever holds a file whole.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies up to `size` bytes from `offset` into `out`; returns how many were
    // copied (fewer at the end, 0 past it or on a read error).
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) = 0;
};

class MemoryByteSource final : public ByteSource {
public:
    MemoryByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override
    {
        if (offset >= size_)
            return 0;
        const std::size_t n = std::min<std::size_t>(size, size_ - static_cast<std::size_t>(offset));
        std::memcpy(out, data_ + offset, n);
        return n;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};
