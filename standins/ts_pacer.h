#pragma once
// Pacing of a recorded transport stream at its real bit rate. The stream carries its own
// clock: the programme clock reference (PCR), a 27 MHz count sampled in the adaptation
// field of some packets of one PID. A packet is due when the clock of the last PCR read
// says so, measured from the start of playback; the packets between two PCRs follow the
// earlier one. Pure code: no platform header.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "channels/psi/ts_packet.h"

namespace standins {

class PcrPacer {
public:
    // Forgets the stream: the next PCR read is due at once.
    void Restart();
    // Playback time, in microseconds from the start, at which `packet` is due.
    std::int64_t DueMicros(const std::uint8_t* packet, std::size_t size);

private:
    std::optional<std::uint16_t> pcrPid_;
    std::optional<std::uint64_t> lastPcr_;
    std::int64_t lastPcrMicros_ = 0;
    // Interval between the last two PCRs, to step over a jump of the clock (the stream
    // looping, or a discontinuity) without stalling or bursting.
    std::int64_t lastStepMicros_ = 0;
};

}  // namespace standins
