#pragma once
// The arithmetic of a ring file: the bytes of an endless stream, numbered from
// the first one written ("stream offsets"), kept in a file of a fixed capacity
// where each lap overwrites the oldest. Only the last `capacity` bytes at most
// are readable; a span of the stream may lie in two pieces of the file, before
// and after the wrap. The capacity is a whole number of packets, so a packet is
// never cut by the wrap.
#include <array>
#include <cstddef>
#include <cstdint>

struct FileSpan {
    std::uint64_t fileOffset = 0;
    std::size_t size = 0;
    bool operator==(const FileSpan&) const = default;
};

// At most two pieces; the second is empty when the span does not wrap.
using FileSpans = std::array<FileSpan, 2>;

class RingLayout {
public:
    // Rounded down to whole 188-byte packets, at least one packet.
    explicit RingLayout(std::uint64_t capacityBytes);

    std::uint64_t capacity() const { return capacity_; }
    std::uint64_t oldest() const { return oldest_; }    // first readable stream offset
    std::uint64_t written() const { return written_; }  // one past the last

    // Where the next `size` bytes go (size at most the capacity).
    FileSpans WriteSpans(std::size_t size) const;
    // Before writing them: what they will overwrite stops being readable.
    void Reserve(std::size_t size);
    // Once they are written.
    void Commit(std::size_t size);
    // Drops the stream before `offset` (a time limit rather than the size).
    void DropBefore(std::uint64_t offset);

    // The file pieces of [offset, offset + size) clamped to what is readable;
    // empty when `offset` is outside it.
    FileSpans ReadSpans(std::uint64_t offset, std::size_t size) const;

private:
    FileSpans Spans(std::uint64_t offset, std::size_t size) const;

    std::uint64_t capacity_;
    std::uint64_t oldest_ = 0;
    std::uint64_t written_ = 0;
};
