#pragma once
// Transport streams for tests, fuzz seeds and benchmarks: sections and PES packets
// cut into 188-byte packets with running continuity counters, PCRs in the
// adaptation field, null packets.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "tests/support/bytes.h"

namespace tstest {

// Writes a 27 MHz PCR as its six bytes (33-bit base, 6 reserved bits, 9-bit extension).
void PutPcr(std::uint8_t* p, std::uint64_t pcr);

// Packs sections one after the other into packets of `pid`: a packet in which a
// section begins has payload_unit_start_indicator set and a pointer_field; the
// last packet is padded with 0xFF. `counter` carries the continuity_counter from
// one call to the next.
Bytes Packetize(unsigned pid, const std::vector<Bytes>& sections, unsigned& counter);

// One packet whose payload is all `fill`, with a PCR in its adaptation field when given.
Bytes PcrPacket(std::uint16_t pid, std::uint8_t counter, std::optional<std::uint64_t> pcr, std::uint8_t fill);
// `pcrCount` PCRs `stepTicks` apart (27 MHz), each followed by `packetsPerPcr - 1`
// plain packets, the payloads numbered: the stream lasts (pcrCount - 1) * stepTicks.
Bytes PcrStream(std::uint16_t pid, int pcrCount, int packetsPerPcr, std::uint64_t stepTicks,
                std::uint64_t firstPcr = 0);

// A stream built packet by packet, each PID with its own continuity counter.
class TsWriter {
public:
    // A section starting in a new packet (pointer_field 0), 0xFF after its end.
    void Section(std::uint16_t pid, const Bytes& section);
    // A PES packet of `payload`; bounded gives PES_packet_length, otherwise 0.
    // Its last packet is filled up with an adaptation field.
    void Pes(std::uint16_t pid, std::uint8_t streamId, const Bytes& payload,
             std::optional<std::uint64_t> pts = std::nullopt, bool bounded = true);
    void NullPacket();
    // Makes the next packet of this PID skip one continuity_counter value.
    void SkipCounter(std::uint16_t pid) { ++counters_[pid & kTsMaxPid]; }

    const Bytes& bytes() const { return bytes_; }
    std::size_t packetCount() const { return bytes_.size() / kTsPacketSize; }

private:
    // One packet carrying `size` bytes of payload (at most 184), padded with an
    // adaptation field when shorter.
    void Packet(std::uint16_t pid, bool unitStart, const std::uint8_t* data, std::size_t size);

    Bytes bytes_;
    std::uint8_t counters_[kTsMaxPid + 1] = {};
};

}  // namespace tstest
