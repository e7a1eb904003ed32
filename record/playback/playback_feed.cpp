#include "record/playback/playback_feed.h"

#include <algorithm>

#include "channels/psi/ts_packet.h"
#include "record/playback/packet_scan.h"
#include "record/playback/time_shift_buffer.h"

std::optional<std::uint64_t> LastPcr(const std::uint8_t* bytes, std::size_t size, std::uint16_t pid)
{
    std::optional<std::uint64_t> last;
    for (std::size_t at = 0; at + kTsPacketSize <= size; at += kTsPacketSize) {
        const TsPacket packet = ReadTsPacket(bytes + at, kTsPacketSize);
        if (packet.ok() && !packet.transportError && packet.pid == pid && packet.pcr)
            last = packet.pcr;
    }
    return last;
}

FeedChunk FileFeed::Next(std::uint8_t* out, std::size_t size)
{
    FeedChunk chunk;
    const std::uint64_t left = probe_.End() > position_ ? probe_.End() - position_ : 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, size - size % kTsPacketSize));
    const std::size_t got = want > 0 ? source_.ReadAt(position_, out, want) : 0;
    chunk.size = got - got % kTsPacketSize;
    position_ += chunk.size;
    chunk.ended = chunk.size == 0;
    chunk.pcr = LastPcr(out, chunk.size, pcrPid_);
    return chunk;
}

void FileFeed::SeekTo(std::uint64_t position)
{
    position_ = std::min(AlignToPacket(probe_, position), probe_.End());
}

FeedChunk TimeShiftFeed::Next(std::uint8_t* out, std::size_t size)
{
    FeedChunk chunk;
    std::size_t got = 0;
    switch (buffer_.Read(position_, out, size - size % kTsPacketSize, got)) {
    case ReadResult::Ok: break;
    case ReadResult::NotYet: return chunk;
    case ReadResult::Lost:
        // The ring overwrote the place (a long pause): go on from the oldest kept.
        position_ = buffer_.Range().oldest;
        chunk.lost = true;
        return chunk;
    }
    chunk.size = got - got % kTsPacketSize;
    position_ += chunk.size;
    chunk.pcr = LastPcr(out, chunk.size, pcrPid_);
    return chunk;
}
