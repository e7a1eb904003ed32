#include "channels/psi/ts_packet.h"

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::uint8_t kDiscontinuityFlag = 0x80;
constexpr std::uint8_t kPcrFlag = 0x10;
// The flags byte and the six bytes of the PCR.
constexpr std::size_t kFieldWithPcr = 7;

std::uint64_t ReadPcr(const std::uint8_t* p) noexcept
{
    const std::uint64_t base = std::uint64_t{p[0]} << 25 | std::uint64_t{p[1]} << 17 | std::uint64_t{p[2]} << 9 |
                               std::uint64_t{p[3]} << 1 | p[4] >> 7;
    const std::uint64_t extension = std::uint64_t{p[4] & 0x01u} << 8 | p[5];
    return base * 300 + extension;
}

}  // namespace

TsPacket ReadTsPacket(const std::uint8_t* bytes, std::size_t size) noexcept
{
    TsPacket packet;
    if (bytes == nullptr || size < kTsPacketSize)
        return packet;
    if (bytes[0] != kTsSyncByte) {
        packet.status = TsPacketStatus::BadSync;
        return packet;
    }
    packet.transportError = (bytes[1] & 0x80) != 0;
    packet.unitStart = (bytes[1] & 0x40) != 0;
    packet.pid = static_cast<std::uint16_t>((bytes[1] & 0x1F) << 8 | bytes[2]);
    packet.scrambling = static_cast<std::uint8_t>(bytes[3] >> 6);
    packet.hasAdaptation = (bytes[3] & 0x20) != 0;
    packet.hasPayload = (bytes[3] & 0x10) != 0;
    packet.continuity = bytes[3] & 0x0F;

    std::size_t start = kHeaderSize;
    if (packet.hasAdaptation) {
        const std::size_t fieldLength = bytes[kHeaderSize];
        start += 1 + fieldLength;
        if (start > kTsPacketSize) {
            packet.status = TsPacketStatus::AdaptationOverrun;
            return packet;
        }
        // A field of length 0 is a single stuffing byte: no flags at all.
        if (fieldLength > 0) {
            const std::uint8_t flags = bytes[kHeaderSize + 1];
            packet.discontinuity = (flags & kDiscontinuityFlag) != 0;
            if ((flags & kPcrFlag) != 0 && fieldLength >= kFieldWithPcr)
                packet.pcr = ReadPcr(bytes + kHeaderSize + 2);
        }
    }
    if (packet.hasPayload) {
        packet.payload = bytes + start;
        packet.payloadSize = kTsPacketSize - start;
    }
    packet.status = TsPacketStatus::Ok;
    return packet;
}
