#include "channels/psi/section_assembler.h"

#include <algorithm>
#include <utility>

#include "channels/psi/crc32.h"

namespace {

constexpr std::uint8_t kStuffing = 0xFF;
constexpr std::size_t kSectionHeaderSize = 3;
// Long form: the five bytes after section_length plus the CRC_32.
constexpr std::size_t kLongFormMinimum = kSectionHeaderSize + 5 + 4;

}  // namespace

SectionAssembler::SectionAssembler(std::uint16_t pid, Handler handler, bool acceptShortForm)
    : pid_(pid), handler_(std::move(handler)), acceptShortForm_(acceptShortForm)
{
    buffer_.reserve(kMaxSectionSize);
}

void SectionAssembler::Reset()
{
    Drop();
    lastCounter_ = -1;
}

void SectionAssembler::Drop()
{
    buffer_.clear();
    collecting_ = false;
}

void SectionAssembler::Feed(const std::uint8_t* packets, std::size_t length)
{
    for (std::size_t at = 0; length - at >= kTsPacketSize; at += kTsPacketSize)
        FeedPacket(ReadTsPacket(packets + at, kTsPacketSize));
}

void SectionAssembler::FeedPacket(const TsPacket& packet)
{
    if (!packet.headerRead() || packet.pid != pid_)
        return;
    if (!packet.ok() || packet.transportError) {
        // Nothing in this packet can be trusted, not even its counter.
        Reset();
        return;
    }
    if (!packet.hasPayload)
        return;  // the counter does not advance

    if (lastCounter_ >= 0 && !packet.discontinuity) {
        if (packet.continuity == lastCounter_)
            return;  // a packet sent twice, which the standard allows
        if (packet.continuity != ((lastCounter_ + 1) & 0x0F))
            Drop();  // a packet was lost: the section being built has a hole
    }
    lastCounter_ = packet.continuity;

    if (packet.scrambling != 0) {
        // Tables travel in the clear; a scrambled payload cannot be read, and
        // the section it belonged to is lost.
        Drop();
        return;
    }
    const std::uint8_t* payload = packet.payload;
    std::size_t size = packet.payloadSize;
    if (!packet.unitStart) {
        if (collecting_)
            Take(payload, size, false);
        return;
    }
    if (size == 0) {
        Drop();
        return;
    }
    // pointer_field: the bytes before the first new section end the previous one.
    const std::size_t pointer = payload[0];
    ++payload;
    --size;
    if (pointer > size) {
        Drop();
        return;
    }
    if (collecting_) {
        Take(payload, pointer, false);
        // A section not finished where the next one begins is damaged.
        Drop();
    }
    Take(payload + pointer, size - pointer, true);
}

// Bytes still missing from the section being built (its header first).
std::size_t SectionAssembler::Wanted() const
{
    if (buffer_.size() < kSectionHeaderSize)
        return kSectionHeaderSize - buffer_.size();
    return SectionSize() - buffer_.size();
}

std::size_t SectionAssembler::SectionSize() const
{
    return kSectionHeaderSize + (((buffer_[1] & 0x0F) << 8) | buffer_[2]);
}

void SectionAssembler::Take(const std::uint8_t* data, std::size_t length, bool mayStart)
{
    while (length > 0) {
        if (!collecting_) {
            // Sections may follow one another after the pointer_field; 0xFF
            // where a table_id would be marks the rest of the packet as stuffing.
            // Elsewhere a new section may not begin: the rest must be stuffing.
            if (!mayStart || data[0] == kStuffing)
                return;
            buffer_.clear();
            collecting_ = true;
        }
        const std::size_t n = std::min(Wanted(), length);
        buffer_.insert(buffer_.end(), data, data + n);
        data += n;
        length -= n;
        if (buffer_.size() < kSectionHeaderSize)
            continue;
        if (SectionSize() > kMaxSectionSize) {
            Drop();
            return;
        }
        if (Wanted() == 0)
            Finish();
    }
}

void SectionAssembler::Finish()
{
    collecting_ = false;
    const std::uint8_t* section = buffer_.data();
    const std::size_t length = buffer_.size();
    const bool longForm = (section[1] & 0x80) != 0;
    const bool valid = longForm ? length >= kLongFormMinimum && Crc32Mpeg(section, length) == 0
                                : acceptShortForm_;
    if (valid && handler_)
        handler_(section, length);
    buffer_.clear();
}

std::vector<std::uint8_t> FindFirstSection(const std::uint8_t* stream, std::size_t length,
                                           std::uint16_t pid, std::uint8_t tableId)
{
    std::vector<std::uint8_t> found;
    bool done = false;
    SectionAssembler assembler(pid, [&](const std::uint8_t* section, std::size_t size) {
        if (!done && section[0] == tableId) {
            found.assign(section, section + size);
            done = true;
        }
    });
    for (std::size_t at = 0; !done && length - at >= kTsPacketSize; at += kTsPacketSize)
        assembler.Feed(stream + at, kTsPacketSize);
    return found;
}
