#pragma once
// The time line of a transport-stream file, from the program clock references of
// one PID. The duration is the distance from the first PCR to the last; a seek
// turns a time into a byte offset.
//
// The PCR is a 27 MHz counter that wraps every 26.5 hours (2^33 ticks of its
// 90 kHz base) and jumps wherever the broadcaster spliced or the recording was
// cut and resumed (a discontinuity). The index samples the file at a bounded
// number of places, so it costs the same memory for a minute as for ten hours;
// between two samples the time runs with the bytes. A stretch whose PCRs move
// backwards, not at all, or at a byte rate far from the file's usual one is timed
// by that usual byte rate instead, so a seek still lands about where it should.
#include <cstdint>
#include <optional>
#include <vector>

#include "record/playback/byte_source.h"
#include "record/playback/ts_probe.h"

enum class PcrIndexStatus {
    Ok,
    Empty,
    NotTransportStream,
    NoPcr,  // fewer than two distinct PCRs: no time line at all
};

// One sampled place: the offset of a packet carrying a PCR, and the file's time
// there in milliseconds from its first PCR.
struct PcrMark {
    std::uint64_t offset = 0;
    std::uint64_t pcr = 0;     // 27 MHz, as broadcast
    std::int64_t timeMs = 0;
    bool pcrTimed = true;  // the stretch up to the next mark is timed by its PCRs
};

class PcrIndex {
public:
    static constexpr std::size_t kMaxMarks = 512;

    // Reads at most kMaxMarks short stretches of the file, never the file whole.
    static PcrIndex Build(ByteSource& source);

    PcrIndexStatus status() const { return status_; }
    bool ok() const { return status_ == PcrIndexStatus::Ok; }
    const TsProbe& probe() const { return probe_; }
    std::uint16_t pcrPid() const { return pcrPid_; }
    std::int64_t durationMs() const { return marks_.empty() ? 0 : marks_.back().timeMs; }
    // False when some stretch was timed by byte rate (a wrap is not a fault).
    bool pcrTrusted() const { return trusted_; }
    const std::vector<PcrMark>& marks() const { return marks_; }

    // The offset of the packet at which `timeMs` plays (clamped to the file).
    std::uint64_t OffsetAt(std::int64_t timeMs) const;
    // The time at which the packet at `offset` plays.
    std::int64_t TimeAt(std::uint64_t offset) const;
    // The time of a PCR read at `offset` while playing, more exact than TimeAt
    // between two marks; the byte estimate when the PCR disagrees with the marks.
    std::int64_t TimeOfPcr(std::uint64_t offset, std::uint64_t pcr) const;

private:
    PcrIndexStatus status_ = PcrIndexStatus::Empty;
    TsProbe probe_;
    std::uint16_t pcrPid_ = 0;
    bool trusted_ = true;
    std::vector<PcrMark> marks_;
    double bytesPerMs_ = 0;  // the file's usual rate
};

// The first PCR of `pid` (any PID when nullopt) in the packets from `from` up to
// `limit` bytes on; the packet's offset and the PCR.
std::optional<PcrMark> FindPcr(ByteSource& source, const TsProbe& probe, std::uint64_t from,
                               std::optional<std::uint16_t> pid, std::uint64_t limit, std::uint16_t* foundPid = nullptr);

// Ticks from `earlier` to `later` on the 27 MHz clock that wraps at 2^33 * 300.
std::uint64_t PcrDistance(std::uint64_t earlier, std::uint64_t later);
