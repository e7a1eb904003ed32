#pragma once
// Reads back a generated transport stream for the tests: packets through the
// program's own packet reader, PES headers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "channels/psi/ts_packet.h"

namespace tsinspect {

// A packet of the stream with its place in it.
struct Packet : TsPacket {
    std::size_t index = 0;
    const std::uint8_t* bytes = nullptr;  // null when the packet is malformed
};

// Splits a stream of whole 188-byte packets; a packet that does not start with
// the sync byte or whose adaptation field overruns it is returned with
// `bytes` null so that the caller's checks fail on it.
inline std::vector<Packet> SplitPackets(const std::vector<std::uint8_t>& ts)
{
    std::vector<Packet> packets;
    for (std::size_t i = 0; ts.size() - i >= kTsPacketSize; i += kTsPacketSize) {
        Packet k;
        static_cast<TsPacket&>(k) = ReadTsPacket(ts.data() + i, kTsPacketSize);
        k.index = i / kTsPacketSize;
        if (k.ok())
            k.bytes = ts.data() + i;
        packets.push_back(k);
    }
    return packets;
}

// The PTS of a PES header (90 kHz), when it has one.
inline std::optional<std::uint64_t> PesPts(const std::uint8_t* pes, std::size_t size)
{
    if (size < 14 || pes[0] != 0 || pes[1] != 0 || pes[2] != 1 || (pes[7] & 0x80) == 0)
        return std::nullopt;
    const std::uint8_t* t = pes + 9;
    return (static_cast<std::uint64_t>(t[0] >> 1 & 7) << 30) | (static_cast<std::uint64_t>(t[1]) << 22) |
           (static_cast<std::uint64_t>(t[2] >> 1) << 15) | (static_cast<std::uint64_t>(t[3]) << 7) | (t[4] >> 1);
}

}  // namespace tsinspect
