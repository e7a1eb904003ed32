#include "tools/tsgen/ts_packetizer.h"

#include <algorithm>
#include <cstring>

namespace tsgen {
namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kPayloadRoom = kTsPacketSize - kHeaderSize;

// Writes the adaptation field of `length` bytes (its length byte included) at
// out[4]: flags, optional PCR, then stuffing.
void WriteAdaptationField(std::uint8_t* out, std::size_t length, bool discontinuity,
                          std::optional<std::uint64_t> pcr27)
{
    out[4] = static_cast<std::uint8_t>(length - 1);
    if (length == 1)
        return;
    std::uint8_t* p = out + 5;
    *p++ = static_cast<std::uint8_t>((discontinuity ? 0x80 : 0) | (pcr27 ? 0x10 : 0));
    if (pcr27) {
        const std::uint64_t base = (*pcr27 / 300) & ((1ull << 33) - 1);
        const std::uint64_t extension = *pcr27 % 300;
        *p++ = static_cast<std::uint8_t>(base >> 25);
        *p++ = static_cast<std::uint8_t>(base >> 17);
        *p++ = static_cast<std::uint8_t>(base >> 9);
        *p++ = static_cast<std::uint8_t>(base >> 1);
        *p++ = static_cast<std::uint8_t>((base & 1) << 7 | 0x7E | extension >> 8);
        *p++ = static_cast<std::uint8_t>(extension);
    }
    std::memset(p, 0xFF, static_cast<std::size_t>(out + kHeaderSize + length - p));
}

}  // namespace

void PidPacketizer::WritePacket(std::optional<std::uint64_t> pcr27, std::uint8_t* out)
{
    const bool discontinuity = first_;
    first_ = false;
    const std::size_t flagsLength = (pcr27 || discontinuity) ? 2 + (pcr27 ? 6 : 0) : 0;
    out[0] = kTsSyncByte;
    out[2] = static_cast<std::uint8_t>(pid_);

    if (units_.empty()) {
        // Adaptation field only: the continuity counter does not advance.
        out[1] = static_cast<std::uint8_t>(pid_ >> 8);
        out[3] = static_cast<std::uint8_t>(0x20 | continuity_);
        WriteAdaptationField(out, kPayloadRoom, discontinuity, pcr27);
        return;
    }

    PendingUnit& unit = units_.front();
    const bool start = unit.sent == 0;
    const std::size_t pointerField = unit.isSection && start ? 1 : 0;
    const std::size_t room = kPayloadRoom - flagsLength - pointerField;
    const std::size_t take = std::min(room, unit.bytes.size() - unit.sent);
    const std::size_t adaptation = flagsLength + (!unit.isSection && take < room ? room - take : 0);

    continuity_ = static_cast<std::uint8_t>((continuity_ + 1) & 0x0F);
    out[1] = static_cast<std::uint8_t>((start ? 0x40 : 0) | pid_ >> 8);
    out[3] = static_cast<std::uint8_t>((adaptation ? 0x30 : 0x10) | continuity_);
    std::uint8_t* p = out + kHeaderSize;
    if (adaptation) {
        WriteAdaptationField(out, adaptation, discontinuity, pcr27);
        p += adaptation;
    }
    if (pointerField)
        *p++ = 0;  // the section starts right after the pointer field
    std::memcpy(p, unit.bytes.data() + unit.sent, take);
    p += take;
    std::memset(p, 0xFF, static_cast<std::size_t>(out + kTsPacketSize - p));  // section filler
    unit.sent += take;
    if (unit.sent == unit.bytes.size())
        units_.pop_front();
}

void WriteNullPacket(std::uint8_t* out)
{
    out[0] = kTsSyncByte;
    out[1] = 0x1F;
    out[2] = 0xFF;
    out[3] = 0x10;
    std::memset(out + kHeaderSize, 0xFF, kPayloadRoom);
}

}  // namespace tsgen
