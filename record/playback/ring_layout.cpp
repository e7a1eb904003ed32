#include "record/playback/ring_layout.h"

#include <algorithm>

#include "channels/psi/ts_packet.h"

RingLayout::RingLayout(std::uint64_t capacityBytes)
    : capacity_(std::max<std::uint64_t>(capacityBytes / kTsPacketSize, 1) * kTsPacketSize)
{
}

FileSpans RingLayout::Spans(std::uint64_t offset, std::size_t size) const
{
    FileSpans spans{};
    const std::uint64_t at = offset % capacity_;
    const std::uint64_t first = std::min<std::uint64_t>(size, capacity_ - at);
    spans[0] = {at, static_cast<std::size_t>(first)};
    if (first < size)
        spans[1] = {0, static_cast<std::size_t>(size - first)};
    return spans;
}

FileSpans RingLayout::WriteSpans(std::size_t size) const
{
    return Spans(written_, static_cast<std::size_t>(std::min<std::uint64_t>(size, capacity_)));
}

void RingLayout::Reserve(std::size_t size)
{
    const std::uint64_t end = written_ + size;
    if (end > capacity_)
        oldest_ = std::max(oldest_, end - capacity_);
}

void RingLayout::Commit(std::size_t size)
{
    written_ += size;
    if (written_ > capacity_)
        oldest_ = std::max(oldest_, written_ - capacity_);
}

void RingLayout::DropBefore(std::uint64_t offset)
{
    oldest_ = std::clamp(offset, oldest_, written_);
}

FileSpans RingLayout::ReadSpans(std::uint64_t offset, std::size_t size) const
{
    if (offset < oldest_ || offset >= written_)
        return FileSpans{};
    return Spans(offset, static_cast<std::size_t>(std::min<std::uint64_t>(size, written_ - offset)));
}
