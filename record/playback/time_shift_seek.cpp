#include "record/playback/time_shift_seek.h"

#include "channels/psi/ts_packet.h"
#include "record/playback/byte_source.h"
#include "record/playback/time_shift_buffer.h"

namespace {

// The buffer as a byte source addressed by stream offsets. A part dropped while
// the search reads reads as nothing, which ends the search.
class BufferBytes final : public ByteSource {
public:
    BufferBytes(TimeShiftBuffer& buffer, std::uint64_t written) : buffer_(buffer), written_(written) {}
    std::uint64_t Size() const override { return written_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override
    {
        std::size_t got = 0;
        return buffer_.Read(offset, out, size, got) == ReadResult::Ok ? got : 0;
    }

private:
    TimeShiftBuffer& buffer_;
    std::uint64_t written_;
};

}  // namespace

std::uint64_t TimeShiftSeekOffset(TimeShiftBuffer& buffer, std::int64_t timeMs, std::uint16_t videoPid,
                                  VideoCoding coding, std::uint64_t limit)
{
    const std::uint64_t offset = buffer.OffsetAt(timeMs);
    if (videoPid == 0 || videoPid >= 0x1FFF)
        return offset;
    const TimeShiftRange range = buffer.Range();
    // The buffer holds whole packets from its oldest kept offset on.
    TsProbe probe;
    probe.status = TsProbeStatus::Ok;
    probe.firstPacket = range.oldest;
    probe.packetCount = range.written > range.oldest ? (range.written - range.oldest) / kTsPacketSize : 0;
    BufferBytes bytes(buffer, range.written);
    return FindRandomAccessPoint(bytes, probe, offset, videoPid, coding, limit).value_or(offset);
}
