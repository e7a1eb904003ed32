#pragma once
// Whole PES packets out of the pieces a demultiplexer's PES pin delivers: each
// piece either starts a packet (with its header) or continues the one begun.
// A packet that gives its length ends when that many bytes have come; one of
// unbounded length ends where the next begins. Broadcast bytes are untrusted:
// a packet never grows beyond the largest a PES length can announce, and a
// header that does not parse, or a piece lost on the way, drops the packet.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

struct SubtitlePes {
    bool hasPts = false;
    std::int64_t pts = 0;             // 33-bit, 90 kHz
    std::vector<std::uint8_t> data;   // the PES packet data field, after its header
    // The stream time (100 ns) stamped on the piece that began the packet, if any.
    std::optional<std::int64_t> sampleTime;
};

class SubtitlePesAssembler {
public:
    // One piece; `starts` when it begins a PES packet, `lost` when bytes of the
    // stream were lost before it, `time` the stream time stamped on it. Returns
    // the packets it completed (at most two: an unbounded one it ended and itself).
    std::vector<SubtitlePes> Feed(const std::uint8_t* data, std::size_t size, bool starts, bool lost,
                                  std::optional<std::int64_t> time = std::nullopt);

    void Reset();

    // PES_packet_length is 16 bits: no bounded packet is longer than this.
    static constexpr std::size_t kLargestPacket = 6 + 65535;

private:
    bool Finish(std::vector<SubtitlePes>& out);

    std::vector<std::uint8_t> packet_;
    bool collecting_ = false;
    std::optional<std::int64_t> time_;  // of the piece that began packet_
};

// Reads a whole PES packet (start code to the end of its data field); false when
// its header does not parse.
bool ParseSubtitlePes(const std::uint8_t* data, std::size_t size, SubtitlePes& out);
