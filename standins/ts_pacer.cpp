#include "standins/ts_pacer.h"

namespace standins {

namespace {
constexpr std::uint64_t kTicksPerMicro = 27;
// A clock step longer than this is a discontinuity, not the passing of time (DVB asks
// for a PCR at least every 100 ms).
constexpr std::uint64_t kMaxPcrStepTicks = 27'000'000;  // one second
constexpr std::int64_t kDefaultStepMicros = 40'000;
}  // namespace

void PcrPacer::Restart()
{
    pcrPid_.reset();
    lastPcr_.reset();
    lastPcrMicros_ = 0;
    lastStepMicros_ = 0;
}

std::int64_t PcrPacer::DueMicros(const std::uint8_t* packet, std::size_t size)
{
    const TsPacket read = ReadTsPacket(packet, size);
    const std::optional<std::uint64_t> pcr = read.pcr;
    if (!pcr) return lastPcrMicros_;
    // Only one PID's clock is followed; the first one met.
    const std::uint16_t pid = read.pid;
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
