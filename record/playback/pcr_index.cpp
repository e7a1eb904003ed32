#include "record/playback/pcr_index.h"

#include <algorithm>
#include <cmath>

#include "channels/psi/ts_packet.h"
#include "record/playback/packet_scan.h"

namespace {

// A PCR is due at least every 100 ms on its PID; at the 31.7 Mbit/s of a full
// DVB-T multiplex that is some 400 KB. These windows leave room for stuffing.
constexpr std::uint64_t kFirstPcrWindow = 16u << 20;
constexpr std::uint64_t kSampleWindow = 2u << 20;
constexpr std::uint64_t kTailWindow = 2u << 20;
constexpr double kTicksPerMs = 27000.0;
// A stretch whose byte rate differs from the file's usual one by more than this
// factor carries a jump: a variable bit rate stays well inside it.
constexpr double kRateTolerance = 4.0;
// Over a stretch this short the bytes come in bursts (a whole picture, then
// sound alone), so its rate says nothing; a forward step of the clock this
// small is no splice either, and is taken as it is.
constexpr std::uint64_t kShortStretchTicks = 27'000'000;

std::optional<std::uint64_t> PcrOf(const std::uint8_t* bytes, std::optional<std::uint16_t> pid, std::uint16_t* seen)
{
    const TsPacket packet = ReadTsPacket(bytes, kTsPacketSize);
    if (!packet.ok() || packet.transportError || !packet.pcr)
        return std::nullopt;
    if (pid && packet.pid != *pid)
        return std::nullopt;
    if (seen)
        *seen = packet.pid;
    return packet.pcr;
}

}  // namespace

std::uint64_t PcrDistance(std::uint64_t earlier, std::uint64_t later)
{
    earlier %= kPcrModulus;
    later %= kPcrModulus;
    return later >= earlier ? later - earlier : kPcrModulus - earlier + later;
}

std::optional<PcrMark> FindPcr(ByteSource& source, const TsProbe& probe, std::uint64_t from,
                               std::optional<std::uint16_t> pid, std::uint64_t limit, std::uint16_t* foundPid)
{
    std::optional<PcrMark> found;
    ScanPackets(source, probe, from, limit, [&](std::uint64_t offset, const std::uint8_t* bytes) {
        if (auto pcr = PcrOf(bytes, pid, foundPid)) {
            found = PcrMark{offset, *pcr, 0, true};
            return false;
        }
        return true;
    });
    return found;
}

PcrIndex PcrIndex::Build(ByteSource& source)
{
    PcrIndex index;
    index.probe_ = ProbeTransportStream(source);
    switch (index.probe_.status) {
    case TsProbeStatus::Empty: index.status_ = PcrIndexStatus::Empty; return index;
    case TsProbeStatus::NotTransportStream: index.status_ = PcrIndexStatus::NotTransportStream; return index;
    case TsProbeStatus::Ok: break;
    }
    index.status_ = PcrIndexStatus::NoPcr;
    const TsProbe& probe = index.probe_;

    // The first PCR names the PID of the clock: a multiplex recording carries one
    // clock per service, each with its own origin, and they must not be mixed.
    std::uint16_t pid = 0;
    const std::optional<PcrMark> first = FindPcr(source, probe, probe.firstPacket, std::nullopt, kFirstPcrWindow, &pid);
    if (!first)
        return index;
    index.pcrPid_ = pid;

    std::vector<PcrMark> marks{*first};
    const std::uint64_t span = probe.End() - first->offset;
    const std::uint64_t steps = kMaxMarks - 1;
    for (std::uint64_t i = 1; i < steps; ++i) {
        const std::uint64_t from = first->offset + static_cast<std::uint64_t>(static_cast<double>(span) * i / steps);
        const std::uint64_t next = first->offset + static_cast<std::uint64_t>(static_cast<double>(span) * (i + 1) / steps);
        if (from <= marks.back().offset)
            continue;
        const auto mark = FindPcr(source, probe, from, pid, std::min(kSampleWindow, next - from));
        if (mark && mark->offset > marks.back().offset)
            marks.push_back(*mark);
    }
    // The last PCR of the file, for the whole duration.
    const std::uint64_t tailFrom = std::max(marks.back().offset + kTsPacketSize,
                                            probe.End() > kTailWindow ? probe.End() - kTailWindow : 0);
    std::optional<PcrMark> last;
    ScanPackets(source, probe, tailFrom, kTailWindow, [&](std::uint64_t offset, const std::uint8_t* bytes) {
        if (auto pcr = PcrOf(bytes, pid, nullptr))
            last = PcrMark{offset, *pcr, 0, true};
        return true;
    });
    if (last)
        marks.push_back(*last);
    if (marks.size() < 2)
        return index;

    // The usual byte rate: the median over the stretches whose clock went forward
    // by less than half its range (a backward jump reads as a huge forward one).
    std::vector<double> rates;
    for (std::size_t i = 1; i < marks.size(); ++i) {
        const std::uint64_t ticks = PcrDistance(marks[i - 1].pcr, marks[i].pcr);
        if (ticks > 0 && ticks < kPcrModulus / 2)
            rates.push_back(static_cast<double>(marks[i].offset - marks[i - 1].offset) / ticks);
    }
    if (rates.empty())
        return index;
    std::nth_element(rates.begin(), rates.begin() + rates.size() / 2, rates.end());
    const double usual = rates[rates.size() / 2];  // bytes per tick

    double ticksSoFar = 0;
    for (std::size_t i = 1; i < marks.size(); ++i) {
        const double bytes = static_cast<double>(marks[i].offset - marks[i - 1].offset);
        const std::uint64_t ticks = PcrDistance(marks[i - 1].pcr, marks[i].pcr);
        const double rate = ticks > 0 ? bytes / ticks : 0;
        const bool plausible = ticks > 0 && ticks < kPcrModulus / 2 &&
                               (ticks <= kShortStretchTicks ||
                                (rate <= usual * kRateTolerance && rate >= usual / kRateTolerance));
        marks[i - 1].pcrTimed = plausible;
        if (!plausible)
            index.trusted_ = false;
        ticksSoFar += plausible ? static_cast<double>(ticks) : bytes / usual;
        marks[i].timeMs = static_cast<std::int64_t>(std::llround(ticksSoFar / kTicksPerMs));
    }
    marks.back().pcrTimed = false;
    index.bytesPerMs_ = usual * kTicksPerMs;
    index.marks_ = std::move(marks);
    index.status_ = PcrIndexStatus::Ok;
    return index;
}

std::uint64_t PcrIndex::OffsetAt(std::int64_t timeMs) const
{
    if (marks_.empty())
        return probe_.firstPacket;
    if (timeMs <= 0)
        return marks_.front().offset;
    if (timeMs >= marks_.back().timeMs)
        return marks_.back().offset;
    const auto after = std::upper_bound(marks_.begin(), marks_.end(), timeMs,
                                        [](std::int64_t t, const PcrMark& m) { return t < m.timeMs; });
    const PcrMark& a = *(after - 1);
    const PcrMark& b = *after;
    const double share = static_cast<double>(timeMs - a.timeMs) / static_cast<double>(b.timeMs - a.timeMs);
    const auto offset = a.offset + static_cast<std::uint64_t>(share * static_cast<double>(b.offset - a.offset));
    return AlignToPacket(probe_, offset);
}

std::int64_t PcrIndex::TimeAt(std::uint64_t offset) const
{
    if (marks_.empty() || offset <= marks_.front().offset)
        return 0;
    if (offset >= marks_.back().offset)
        return marks_.back().timeMs;
    const auto after = std::upper_bound(marks_.begin(), marks_.end(), offset,
                                        [](std::uint64_t o, const PcrMark& m) { return o < m.offset; });
    const PcrMark& a = *(after - 1);
    const PcrMark& b = *after;
    const double share = static_cast<double>(offset - a.offset) / static_cast<double>(b.offset - a.offset);
    return a.timeMs + static_cast<std::int64_t>(std::llround(share * static_cast<double>(b.timeMs - a.timeMs)));
}

std::int64_t PcrIndex::TimeOfPcr(std::uint64_t offset, std::uint64_t pcr) const
{
    const std::int64_t estimate = TimeAt(offset);
    if (marks_.empty() || offset < marks_.front().offset)
        return estimate;
    const auto after = std::upper_bound(marks_.begin(), marks_.end(), offset,
                                        [](std::uint64_t o, const PcrMark& m) { return o < m.offset; });
    const PcrMark& a = *(after - 1);
    if (!a.pcrTimed)
        return estimate;
    const std::uint64_t ticks = PcrDistance(a.pcr, pcr);
    const std::int64_t exact = a.timeMs + static_cast<std::int64_t>(ticks / 27000);
    // A jump between two marks: the PCR no longer tells the file's time.
    const std::int64_t next = after == marks_.end() ? a.timeMs : after->timeMs;
    if (exact < a.timeMs || exact > std::max(next, a.timeMs) + 1000)
        return estimate;
    return exact;
}
