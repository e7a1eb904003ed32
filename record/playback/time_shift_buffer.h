#pragma once
// The time-shift buffer: the live service's packets, from the moment of the
// pause on, kept in a ring file so that the user can watch them late. It is a
// subscriber of the transport-stream tap; the tap starts calling it only at the
// pause, so nothing is written while simply watching.
//
// Each run of packets goes straight from the tap's buffer to the file: the
// memory held is the same for a minute as for an hour (the ring's layout and a
// bounded table of times). The buffer keeps at most its time window and at most
// the file's capacity, dropping the oldest part beyond either.
//
// A failed write (a full disk) stops the buffering for good; what was written
// stays readable. The streaming thread writes, the source filter's thread reads
// and the window asks for the times, so the state is behind a lock; the file's
// reads and writes happen outside it, and a read that raced with the overwrite
// of its bytes is reported as lost rather than returned.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "channels/psi/packet_tap.h"
#include "record/packet_filter.h"
#include "record/playback/ring_layout.h"

// Positional reads and writes of the ring file (the platform's file).
class RingFile {
public:
    virtual ~RingFile() = default;
    // Writes all of it or fails; `error` is the platform's code of the failure.
    virtual bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size, unsigned long& error) = 0;
    // Returns the bytes read (all of them unless the file fails).
    virtual std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) = 0;
};

struct TimeShiftRange {
    std::uint64_t oldest = 0;  // stream offsets
    std::uint64_t written = 0;
    std::int64_t oldestMs = 0;  // clock times
    std::int64_t liveMs = 0;
    bool failed = false;
    unsigned long error = 0;
};

enum class ReadResult { Ok, NotYet, Lost };

class TimeShiftBuffer final : public PacketSubscriber {
public:
    // DVB-T's highest useful rate (8 MHz, 64-QAM, code rate 7/8, guard 1/32):
    // a file of the window at this rate holds the window of any multiplex.
    static constexpr std::uint64_t kHighestBitsPerSecond = 31'668'449;
    static std::uint64_t CapacityFor(int minutes);

    // `now` gives milliseconds of a steady clock; `onFailure` is called once, on
    // the streaming thread, when a write fails (it must only post).
    TimeShiftBuffer(RingFile& file, std::uint64_t capacityBytes, std::int64_t windowMs, const PidSelection& selection,
                    std::function<std::int64_t()> now, std::function<void(unsigned long)> onFailure);

    // Streaming thread.
    bool OnPackets(const std::uint8_t* packets, std::size_t count) override;

    // Any thread.
    TimeShiftRange Range() const;
    // The stream offset that played at `timeMs` (a packet boundary), clamped to
    // what is kept.
    std::uint64_t OffsetAt(std::int64_t timeMs) const;
    std::int64_t TimeAt(std::uint64_t offset) const;
    // Reads up to `size` bytes at `offset` into `out`, `got` of them. NotYet at the
    // live edge; Lost when `offset` was dropped (before or during the read).
    ReadResult Read(std::uint64_t offset, std::uint8_t* out, std::size_t size, std::size_t& got);

private:
    friend class TimeShiftSink;
    struct Mark {
        std::uint64_t offset;
        std::int64_t timeMs;
    };
    bool WriteRun(const std::uint8_t* bytes, std::size_t size);
    void AddMark(std::int64_t nowMs);
    std::int64_t TimeAtLocked(std::uint64_t offset) const;

    RingFile& file_;
    const std::int64_t windowMs_;
    const std::int64_t markSpacingMs_;
    const PidSelection selection_;
    std::function<std::int64_t()> now_;
    std::function<void(unsigned long)> onFailure_;

    mutable std::mutex mutex_;
    RingLayout layout_;           // guarded
    std::deque<Mark> marks_;      // guarded; bounded by the window over the spacing
    std::int64_t startMs_ = 0;    // guarded
    std::int64_t lastWriteMs_ = 0;
    bool failed_ = false;
    unsigned long error_ = 0;
};
