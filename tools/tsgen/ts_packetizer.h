#pragma once
// Cuts sections and PES packets of one PID into 188-byte transport packets,
// keeping the continuity counter and placing PCRs in adaptation fields.
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "channels/psi/ts_packet.h"

namespace tsgen {

// A section or a PES packet waiting to be sent.
struct PendingUnit {
    std::vector<std::uint8_t> bytes;
    bool isSection = false;
    std::uint64_t deadline27 = 0;  // PES: when its last byte must have arrived (27 MHz)
    std::uint64_t order = 0;       // sections: sent in the order they were queued
    std::size_t sent = 0;
};

class PidPacketizer {
public:
    explicit PidPacketizer(std::uint16_t pid) : pid_(pid) {}

    std::uint16_t pid() const { return pid_; }
    void Push(PendingUnit unit) { units_.push_back(std::move(unit)); }
    bool HasData() const { return !units_.empty(); }
    const PendingUnit& Head() const { return units_.front(); }

    // Writes the next packet of this PID into `out` (188 bytes): the next
    // payload bytes if there are any, and the PCR if one is given; without
    // payload the packet is an adaptation field alone (which needs a PCR).
    // Each unit starts a packet (payload_unit_start_indicator). A section
    // ends with 0xFF filler; the tail of a PES is padded in the adaptation
    // field. The first packet of the PID sets discontinuity_indicator, so a
    // player that loops the file resets its counters and clock there.
    void WritePacket(std::optional<std::uint64_t> pcr27, std::uint8_t* out);

private:
    std::uint16_t pid_;
    std::uint8_t continuity_ = 15;  // counter of the last packet with payload
    bool first_ = true;
    std::deque<PendingUnit> units_;
};

void WriteNullPacket(std::uint8_t* out);

}  // namespace tsgen
