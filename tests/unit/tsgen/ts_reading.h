#pragma once
// Reads back a generated transport stream for the tests: packet header fields,
// adaptation field flags and PCRs, PES headers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tsinspect {

struct Packet {
    std::size_t index = 0;
    const std::uint8_t* bytes = nullptr;
    std::uint16_t pid = 0;
    bool unitStart = false;
    bool hasPayload = false;
    int continuity = 0;
    bool discontinuity = false;
    std::optional<std::uint64_t> pcr27;
    const std::uint8_t* payload = nullptr;
    std::size_t payloadSize = 0;
};

// Splits a stream of whole 188-byte packets; a packet that does not start with
// the sync byte or whose adaptation field overruns it is returned with
// `bytes` null so that the caller's checks fail on it.
inline std::vector<Packet> SplitPackets(const std::vector<std::uint8_t>& ts)
{
    std::vector<Packet> packets;
    for (std::size_t i = 0; i + 188 <= ts.size(); i += 188) {
        const std::uint8_t* p = ts.data() + i;
        Packet k;
        k.index = i / 188;
        if (p[0] != 0x47) {
            packets.push_back(k);
            continue;
        }
        k.bytes = p;
        k.pid = static_cast<std::uint16_t>((p[1] & 0x1F) << 8 | p[2]);
        k.unitStart = (p[1] & 0x40) != 0;
        const int control = p[3] >> 4 & 3;
        k.hasPayload = (control & 1) != 0;
        k.continuity = p[3] & 0x0F;
        std::size_t offset = 4;
        if (control & 2) {
            const std::size_t length = p[4];
            if (5 + length > 188) {
                k.bytes = nullptr;
                packets.push_back(k);
                continue;
            }
            if (length > 0) {
                k.discontinuity = (p[5] & 0x80) != 0;
                if ((p[5] & 0x10) && length >= 7) {
                    const std::uint64_t base = static_cast<std::uint64_t>(p[6]) << 25 | p[7] << 17 | p[8] << 9 |
                                               p[9] << 1 | p[10] >> 7;
                    const std::uint64_t extension = (p[10] & 1u) << 8 | p[11];
                    k.pcr27 = base * 300 + extension;
                }
            }
            offset = 5 + length;
        }
        if (k.hasPayload) {
            k.payload = p + offset;
            k.payloadSize = 188 - offset;
        }
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
