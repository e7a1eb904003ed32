#include "standins/demux/pts_stamper.h"

#include <algorithm>

#include "channels/psi/section_assembler.h"

namespace {

constexpr std::uint16_t kPatPid = 0x0000;
constexpr std::uint8_t kPatTable = 0x00;
constexpr std::uint8_t kPmtTable = 0x02;
constexpr std::int64_t kPtsModulus = std::int64_t{1} << 33;
constexpr std::int64_t kPcr27Modulus = static_cast<std::int64_t>(kPcrModulus);

// The difference of two values of a clock that wraps at `modulus`, the short way round.
std::int64_t Delta(std::int64_t to, std::int64_t from, std::int64_t modulus)
{
    std::int64_t d = (to - from) % modulus;
    if (d < 0) d += modulus;
    if (d >= modulus / 2) d -= modulus;
    return d;
}

std::uint16_t Pid13(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] & 0x1F) << 8 | p[1]); }

// Where a long-form section's loops end (before its CRC), or 0 when it is too short.
std::size_t LoopEnd(const std::uint8_t* section, std::size_t size, std::size_t header)
{
    if (size < header + 4) return 0;
    const std::size_t declared = 3 + (static_cast<std::size_t>(section[1] & 0x0F) << 8 | section[2]);
    return std::min(declared, size) - 4;
}

}  // namespace

PtsStamper::PtsStamper()
    : pat_(std::make_unique<SectionAssembler>(
          kPatPid, [this](const std::uint8_t* s, std::size_t n) { OnPat(s, n); }))
{
}

PtsStamper::~PtsStamper() = default;

void PtsStamper::Follow(std::uint16_t pid)
{
    followed_ = pid;
    ChoosePcr();
}

void PtsStamper::Packet(const TsPacket& packet, std::optional<std::int64_t> arrival)
{
    if (packet.pid == kPatPid) {
        pat_->FeedPacket(packet);
        return;
    }
    for (auto& programme : programmes_) {
        if (programme->pmtPid == packet.pid) programme->pmt->FeedPacket(packet);
    }
    if (arrival && packet.pcr && pcrPid_ && packet.pid == *pcrPid_) OnPcr(*packet.pcr, packet.discontinuity, *arrival);
}

std::optional<std::int64_t> PtsStamper::Stamp(std::uint64_t pts) const
{
    if (!tied_) return std::nullopt;
    const std::int64_t ticks =
        Delta(static_cast<std::int64_t>(pts), static_cast<std::int64_t>(tiePcr_ / 300), kPtsModulus);
    return tieTime_ + ticks * 1000 / 9;
}

void PtsStamper::OnPat(const std::uint8_t* section, std::size_t size)
{
    if (section[0] != kPatTable) return;
    const std::size_t end = LoopEnd(section, size, 8);
    std::vector<std::unique_ptr<Programme>> fresh;
    for (std::size_t at = 8; end && at + 4 <= end; at += 4) {
        const unsigned number = static_cast<unsigned>(section[at] << 8 | section[at + 1]);
        if (number == 0) continue;  // the network PID
        const std::uint16_t pmtPid = Pid13(section + at + 2);
        auto kept = std::find_if(programmes_.begin(), programmes_.end(),
                                 [&](const auto& p) { return p && p->pmtPid == pmtPid; });
        if (kept != programmes_.end()) {
            fresh.push_back(std::move(*kept));
            continue;
        }
        auto programme = std::make_unique<Programme>();
        programme->pmtPid = pmtPid;
        Programme* raw = programme.get();
        programme->pmt = std::make_unique<SectionAssembler>(
            pmtPid, [this, raw](const std::uint8_t* s, std::size_t n) { OnPmt(*raw, s, n); });
        fresh.push_back(std::move(programme));
    }
    programmes_ = std::move(fresh);
    ChoosePcr();
}

void PtsStamper::OnPmt(Programme& programme, const std::uint8_t* section, std::size_t size)
{
    if (section[0] != kPmtTable) return;
    const std::size_t end = LoopEnd(section, size, 12);
    if (!end) return;
    programme.pcrPid = Pid13(section + 8);
    programme.streams.clear();
    std::size_t at = 12 + (static_cast<std::size_t>(section[10] & 0x0F) << 8 | section[11]);
    while (at + 5 <= end) {
        programme.streams.push_back(Pid13(section + at + 1));
        at += 5 + (static_cast<std::size_t>(section[at + 3] & 0x0F) << 8 | section[at + 4]);
    }
    ChoosePcr();
}

void PtsStamper::ChoosePcr()
{
    if (!followed_) return;
    for (const auto& programme : programmes_) {
        const auto& s = programme->streams;
        if (std::find(s.begin(), s.end(), *followed_) == s.end()) continue;
        if (programme->pcrPid == kTsNullPid) return;  // a programme without a clock: keep the last one
        if (pcrPid_ != programme->pcrPid) tied_ = false;
        pcrPid_ = programme->pcrPid;
        return;
    }
}

void PtsStamper::OnPcr(std::uint64_t pcr27, bool discontinuity, std::int64_t arrival)
{
    if (tied_ && !discontinuity) {
        const std::int64_t predicted =
            tieTime_ + Delta(static_cast<std::int64_t>(pcr27), static_cast<std::int64_t>(tiePcr_), kPcr27Modulus) *
                           10 / 27;
        const std::int64_t late = arrival - predicted;
        if (late <= kRetieAfter) {
            // Keep the tie near the stream's present, earlier if this PCR came earlier.
            tiePcr_ = pcr27;
            tieTime_ = std::min(predicted, arrival);
            return;
        }
    }
    tied_ = true;
    tiePcr_ = pcr27;
    tieTime_ = arrival;
}
