#include "standins/ts_pacer.h"

namespace standins {

namespace {
// The PCR base is a 33-bit count of 90 kHz; with its extension it wraps at 2^33 * 300.
constexpr std::uint64_t kPcrModulus = (std::uint64_t{1} << 33) * 300;
constexpr std::uint64_t kTicksPerMicro = 27;
// A clock step longer than this is a discontinuity, not the passing of time (DVB asks
// for a PCR at least every 100 ms).
constexpr std::uint64_t kMaxPcrStepTicks = 27'000'000;  // one second
constexpr std::int64_t kDefaultStepMicros = 40'000;
}  // namespace

std::uint16_t ReadPid(const std::uint8_t* packet)
{
    return static_cast<std::uint16_t>(((packet[1] & 0x1F) << 8) | packet[2]);
}

std::optional<std::uint64_t> ReadPcr(const std::uint8_t* packet, std::size_t size)
{
    if (size < kPacketSize || packet[0] != kSyncByte) return std::nullopt;
    const bool hasAdaptation = (packet[3] & 0x20) != 0;
    if (!hasAdaptation) return std::nullopt;
    const std::uint8_t adaptationLength = packet[4];
    // The flags byte and the six PCR bytes must lie inside the adaptation field.
    if (adaptationLength < 7) return std::nullopt;
    const std::uint8_t flags = packet[5];
    if ((flags & 0x10) == 0) return std::nullopt;
    const std::uint8_t* p = packet + 6;
    const std::uint64_t base = (std::uint64_t{p[0]} << 25) | (std::uint64_t{p[1]} << 17) |
                               (std::uint64_t{p[2]} << 9) | (std::uint64_t{p[3]} << 1) | (p[4] >> 7);
    const std::uint64_t extension = (static_cast<std::uint64_t>(p[4] & 0x01) << 8) | p[5];
    return base * 300 + extension;
}

void PcrPacer::Restart()
{
    pcrPid_.reset();
    lastPcr_.reset();
    lastPcrMicros_ = 0;
    lastStepMicros_ = 0;
}

std::int64_t PcrPacer::DueMicros(const std::uint8_t* packet, std::size_t size)
{
    const std::optional<std::uint64_t> pcr = ReadPcr(packet, size);
    if (!pcr) return lastPcrMicros_;
    // Only one PID's clock is followed; the first one met.
    const std::uint16_t pid = ReadPid(packet);
    if (!pcrPid_) pcrPid_ = pid;
    if (*pcrPid_ != pid) return lastPcrMicros_;

    if (lastPcr_) {
        const std::uint64_t step = (*pcr + kPcrModulus - *lastPcr_) % kPcrModulus;
        if (step <= kMaxPcrStepTicks) {
            lastStepMicros_ = static_cast<std::int64_t>(step / kTicksPerMicro);
        } else if (lastStepMicros_ == 0) {
            lastStepMicros_ = kDefaultStepMicros;
        }
        lastPcrMicros_ += lastStepMicros_;
    }
    lastPcr_ = pcr;
    return lastPcrMicros_;
}

}  // namespace standins
