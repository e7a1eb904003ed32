#pragma once
// Small transport streams built in memory for the demultiplexer tests: long-form
// sections with their CRC_32, sections and PES packets cut into 188-byte
// packets with running continuity counters.
#include <cstdint>
#include <optional>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A long-form section (section_syntax_indicator 1) with a correct CRC_32.
Bytes MakeSection(std::uint8_t tableId, std::uint16_t extension, const Bytes& body,
                  std::uint8_t version = 0);

// An SDT actual section naming one service.
Bytes MakeSdt(std::uint16_t transportStreamId, std::uint16_t serviceId, const char* name);

class TsWriter {
public:
    // A section starting in a new packet (pointer_field 0), 0xFF after its end.
    void Section(std::uint16_t pid, const Bytes& section);
    // A PES packet of `payload`; bounded gives PES_packet_length, otherwise 0.
    void Pes(std::uint16_t pid, std::uint8_t streamId, const Bytes& payload,
             std::optional<std::uint64_t> pts = std::nullopt, bool bounded = true);
    void NullPacket();
    // Makes the next packet of this PID skip one continuity_counter value.
    void SkipCounter(std::uint16_t pid) { ++counters_[pid]; }

    const Bytes& bytes() const { return bytes_; }
    std::size_t packetCount() const { return bytes_.size() / 188; }

private:
    // One packet carrying `size` bytes of payload (at most 184), padded with an
    // adaptation field when shorter.
    void Packet(std::uint16_t pid, bool unitStart, const std::uint8_t* data, std::size_t size);

    Bytes bytes_;
    std::uint8_t counters_[8192] = {};
};

// Counting bytes: 0, 1, 2, ... wrapping, offset by `seed`.
Bytes Pattern(std::size_t size, std::uint8_t seed);
