#include "record/playback/time_shift_buffer.h"

#include <algorithm>

#include "channels/psi/ts_packet.h"

namespace {

// About two thousand marks for the window, never closer than a quarter second.
constexpr std::int64_t kMarksPerWindow = 2048;
constexpr std::int64_t kFinestMarkMs = 250;

}  // namespace

class TimeShiftSink final : public PacketRunSink {
public:
    explicit TimeShiftSink(TimeShiftBuffer& buffer) : buffer_(buffer) {}
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override { return buffer_.WriteRun(bytes, size); }

private:
    TimeShiftBuffer& buffer_;
};

std::uint64_t TimeShiftBuffer::CapacityFor(int minutes)
{
    return static_cast<std::uint64_t>(std::max(minutes, 1)) * 60 * (kHighestBitsPerSecond / 8);
}

TimeShiftBuffer::TimeShiftBuffer(RingFile& file, std::uint64_t capacityBytes, std::int64_t windowMs,
                                 const PidSelection& selection, std::function<std::int64_t()> now,
                                 std::function<void(unsigned long)> onFailure)
    : file_(file),
      windowMs_(std::max<std::int64_t>(windowMs, 1000)),
      markSpacingMs_(std::max(kFinestMarkMs, windowMs_ / kMarksPerWindow)),
      selection_(selection),
      now_(std::move(now)),
      onFailure_(std::move(onFailure)),
      layout_(capacityBytes)
{
    startMs_ = lastWriteMs_ = now_();
    marks_.push_back({0, startMs_});
}

bool TimeShiftBuffer::OnPackets(const std::uint8_t* packets, std::size_t count)
{
    if (failed_)
        return false;
    TimeShiftSink sink(*this);
    FilterPackets(packets, count * kTsPacketSize, selection_, sink);
    return !failed_;
}

bool TimeShiftBuffer::WriteRun(const std::uint8_t* bytes, std::size_t size)
{
    FileSpans spans;
    {
        std::lock_guard lock(mutex_);
        // A run larger than the ring (never with a sane capacity) keeps its end;
        // its head still counts in the stream's offsets, as overwritten at once.
        if (size > layout_.capacity()) {
            const auto skipped = static_cast<std::size_t>(size - layout_.capacity());
            layout_.Reserve(skipped);
            layout_.Commit(skipped);
            bytes += skipped;
            size -= skipped;
        }
        spans = layout_.WriteSpans(size);
        layout_.Reserve(size);
    }
    unsigned long error = 0;
    bool ok = true;
    std::size_t done = 0;
    for (const FileSpan& span : spans) {
        if (span.size == 0)
            continue;
        ok = file_.WriteAt(span.fileOffset, bytes + done, span.size, error);
        if (!ok)
            break;
        done += span.size;
    }
    const std::int64_t nowMs = now_();
    {
        std::lock_guard lock(mutex_);
        if (ok) {
            layout_.Commit(size);
            lastWriteMs_ = nowMs;
            AddMark(nowMs);
        } else {
            failed_ = true;
            error_ = error;
        }
    }
    if (!ok && onFailure_)
        onFailure_(error);
    return ok;
}

void TimeShiftBuffer::AddMark(std::int64_t nowMs)
{
    if (nowMs - marks_.back().timeMs >= markSpacingMs_)
        marks_.push_back({layout_.written(), nowMs});
    // The time window: what is older than it goes, as what the ring overwrote.
    const std::int64_t horizon = nowMs - windowMs_;
    while (marks_.size() > 1 && marks_[1].timeMs <= horizon)
        marks_.pop_front();
    if (marks_.front().timeMs <= horizon && marks_.size() > 1)
        layout_.DropBefore(marks_.front().offset);
    while (marks_.size() > 1 && marks_[1].offset <= layout_.oldest())
        marks_.pop_front();
}

TimeShiftRange TimeShiftBuffer::Range() const
{
    std::lock_guard lock(mutex_);
    TimeShiftRange range;
    range.oldest = layout_.oldest();
    range.written = layout_.written();
    range.oldestMs = TimeAtLocked(range.oldest);
    // Live moves on with the clock even while nothing arrives (a failed buffer).
    range.liveMs = now_();
    range.failed = failed_;
    range.error = error_;
    return range;
}

std::int64_t TimeShiftBuffer::TimeAtLocked(std::uint64_t offset) const
{
    // Between two marks, and after the last one up to the last write, the time
    // runs with the bytes.
    Mark before = marks_.front();
    Mark after{layout_.written(), lastWriteMs_};
    for (const Mark& m : marks_) {
        if (m.offset <= offset)
            before = m;
        else {
            after = m;
            break;
        }
    }
    if (offset <= before.offset || after.offset <= before.offset)
        return before.timeMs;
    if (offset >= after.offset)
        return after.timeMs;
    const double share = static_cast<double>(offset - before.offset) / static_cast<double>(after.offset - before.offset);
    return before.timeMs + static_cast<std::int64_t>(share * static_cast<double>(after.timeMs - before.timeMs));
}

std::int64_t TimeShiftBuffer::TimeAt(std::uint64_t offset) const
{
    std::lock_guard lock(mutex_);
    return TimeAtLocked(offset);
}

std::uint64_t TimeShiftBuffer::OffsetAt(std::int64_t timeMs) const
{
    std::lock_guard lock(mutex_);
    Mark before = marks_.front();
    Mark after{layout_.written(), lastWriteMs_};
    for (const Mark& m : marks_) {
        if (m.timeMs <= timeMs)
            before = m;
        else {
            after = m;
            break;
        }
    }
    std::uint64_t offset = before.offset;
    if (timeMs > before.timeMs && after.timeMs > before.timeMs) {
        const double share = std::min(1.0, static_cast<double>(timeMs - before.timeMs) /
                                               static_cast<double>(after.timeMs - before.timeMs));
        offset += static_cast<std::uint64_t>(share * static_cast<double>(after.offset - before.offset));
    }
    offset -= offset % kTsPacketSize;
    return std::clamp(offset, layout_.oldest(), layout_.written());
}

ReadResult TimeShiftBuffer::Read(std::uint64_t offset, std::uint8_t* out, std::size_t size, std::size_t& got)
{
    got = 0;
    FileSpans spans;
    {
        std::lock_guard lock(mutex_);
        if (offset < layout_.oldest())
            return ReadResult::Lost;
        if (offset >= layout_.written())
            return ReadResult::NotYet;
        spans = layout_.ReadSpans(offset, size);
    }
    for (const FileSpan& span : spans) {
        if (span.size == 0)
            continue;
        const std::size_t n = file_.ReadAt(span.fileOffset, out + got, span.size);
        got += n;
        if (n < span.size)
            break;
    }
    std::lock_guard lock(mutex_);
    // The writer may have lapped the reader while the bytes were read.
    if (offset < layout_.oldest()) {
        got = 0;
        return ReadResult::Lost;
    }
    return got > 0 ? ReadResult::Ok : ReadResult::NotYet;
}
