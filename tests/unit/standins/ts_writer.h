#pragma once
// A tiny transport-stream writer for the stand-ins' tests: packets of one PID whose
// payload is a recognisable pattern, with a PCR in the adaptation field of every n-th.
#include <cstdint>
#include <optional>
#include <vector>

namespace ts_test {

constexpr std::size_t kPacket = 188;

inline void PutPcr(std::uint8_t* p, std::uint64_t pcr)
{
    const std::uint64_t base = pcr / 300;
    const std::uint64_t extension = pcr % 300;
    p[0] = static_cast<std::uint8_t>(base >> 25);
    p[1] = static_cast<std::uint8_t>(base >> 17);
    p[2] = static_cast<std::uint8_t>(base >> 9);
    p[3] = static_cast<std::uint8_t>(base >> 1);
    p[4] = static_cast<std::uint8_t>(((base & 1) << 7) | 0x7E | (extension >> 8));
    p[5] = static_cast<std::uint8_t>(extension);
}

// One packet; `fill` marks its payload so that the tests can tell packets apart.
inline std::vector<std::uint8_t> Packet(std::uint16_t pid, std::uint8_t counter, std::optional<std::uint64_t> pcr,
                                        std::uint8_t fill)
{
    std::vector<std::uint8_t> packet(kPacket, fill);
    packet[0] = 0x47;
    packet[1] = static_cast<std::uint8_t>((pid >> 8) & 0x1F);
    packet[2] = static_cast<std::uint8_t>(pid);
    if (pcr) {
        packet[3] = static_cast<std::uint8_t>(0x30 | (counter & 0x0F));  // adaptation field and payload
        packet[4] = 7;                                                    // flags byte + six PCR bytes
        packet[5] = 0x10;                                                 // PCR flag
        PutPcr(&packet[6], *pcr);
    } else {
        packet[3] = static_cast<std::uint8_t>(0x10 | (counter & 0x0F));  // payload only
    }
    return packet;
}

// `pcrCount` PCRs `stepTicks` apart (27 MHz), each followed by `packetsPerPcr - 1` plain
// packets: the stream lasts (pcrCount - 1) * stepTicks.
inline std::vector<std::uint8_t> Stream(std::uint16_t pid, int pcrCount, int packetsPerPcr, std::uint64_t stepTicks,
                                        std::uint64_t firstPcr = 0)
{
    std::vector<std::uint8_t> bytes;
    std::uint8_t counter = 0;
    for (int i = 0; i < pcrCount; ++i) {
        for (int k = 0; k < packetsPerPcr; ++k) {
            std::optional<std::uint64_t> pcr;
            if (k == 0) pcr = firstPcr + static_cast<std::uint64_t>(i) * stepTicks;
            auto packet = Packet(pid, counter++, pcr, static_cast<std::uint8_t>(i * packetsPerPcr + k));
            bytes.insert(bytes.end(), packet.begin(), packet.end());
        }
    }
    return bytes;
}

}  // namespace ts_test
