#pragma once
// What the playback source reads: the packets of a file or of the time-shift
// buffer, in chunks of whole packets from a position that a seek may move.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "record/playback/byte_source.h"
#include "record/playback/ts_probe.h"

class TimeShiftBuffer;

struct FeedChunk {
    std::size_t size = 0;                // bytes copied, whole packets
    std::optional<std::uint64_t> pcr;    // the last PCR of the clock's PID in them
    bool ended = false;                  // the file ended (no more will come)
    bool lost = false;                   // the buffer had dropped the position: the feed
                                         // moved on to the oldest part kept
};

class PlaybackFeed {
public:
    virtual ~PlaybackFeed() = default;
    // Fills `out` with at most `size` bytes from the current position and moves on.
    virtual FeedChunk Next(std::uint8_t* out, std::size_t size) = 0;
    virtual void SeekTo(std::uint64_t position) = 0;
    virtual std::uint64_t position() const = 0;
};

// The last PCR of `pid` among the whole packets of `bytes`.
std::optional<std::uint64_t> LastPcr(const std::uint8_t* bytes, std::size_t size, std::uint16_t pid);

class FileFeed final : public PlaybackFeed {
public:
    FileFeed(ByteSource& source, const TsProbe& probe, std::uint16_t pcrPid)
        : source_(source), probe_(probe), pcrPid_(pcrPid), position_(probe.firstPacket) {}
    FeedChunk Next(std::uint8_t* out, std::size_t size) override;
    void SeekTo(std::uint64_t position) override;
    std::uint64_t position() const override { return position_; }

private:
    ByteSource& source_;
    TsProbe probe_;
    std::uint16_t pcrPid_;
    std::uint64_t position_;
};

class TimeShiftFeed final : public PlaybackFeed {
public:
    TimeShiftFeed(TimeShiftBuffer& buffer, std::uint16_t pcrPid) : buffer_(buffer), pcrPid_(pcrPid) {}
    FeedChunk Next(std::uint8_t* out, std::size_t size) override;
    void SeekTo(std::uint64_t position) override { position_ = position - position % 188; }
    std::uint64_t position() const override { return position_; }

private:
    TimeShiftBuffer& buffer_;
    std::uint16_t pcrPid_;
    std::uint64_t position_ = 0;
};
