#include "tests/support/packets.h"

#include <algorithm>
#include <cstring>

namespace tstest {

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kPayloadRoom = kTsPacketSize - kHeaderSize;
constexpr std::uint8_t kStuffing = 0xFF;

void PutHeader(std::uint8_t* p, unsigned pid, bool unitStart, std::uint8_t control, unsigned counter)
{
    p[0] = kTsSyncByte;
    p[1] = static_cast<std::uint8_t>((unitStart ? 0x40 : 0x00) | ((pid >> 8) & 0x1F));
    p[2] = static_cast<std::uint8_t>(pid);
    p[3] = static_cast<std::uint8_t>(control << 4 | (counter & 0x0F));
}

constexpr std::uint8_t kPayloadOnly = 0x1;
constexpr std::uint8_t kFieldAndPayload = 0x3;

}  // namespace

void PutPcr(std::uint8_t* p, std::uint64_t pcr)
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

Bytes Packetize(unsigned pid, const std::vector<Bytes>& sections, unsigned& counter)
{
    Bytes data;
    std::vector<std::size_t> starts;
    for (const Bytes& s : sections) {
        starts.push_back(data.size());
        Append(data, s);
    }
    Bytes out;
    std::size_t pos = 0;
    std::size_t next = 0;  // first section start not yet behind pos
    while (pos < data.size()) {
        while (next < starts.size() && starts[next] < pos)
            ++next;
        const bool startHere = next < starts.size() && starts[next] < pos + kPayloadRoom - 1;
        std::uint8_t packet[kTsPacketSize];
        std::memset(packet, kStuffing, sizeof packet);
        PutHeader(packet, pid, startHere, kPayloadOnly, counter);
        counter = (counter + 1) & 0x0F;
        std::size_t at = kHeaderSize;
        std::size_t room = kPayloadRoom;
        if (startHere) {
            packet[at++] = static_cast<std::uint8_t>(starts[next] - pos);  // pointer_field
            --room;
        } else if (next < starts.size() && starts[next] == pos + kPayloadRoom - 1) {
            --room;  // that section must begin in a packet of its own
        }
        const std::size_t n = std::min(room, data.size() - pos);
        std::memcpy(packet + at, data.data() + pos, n);
        pos += n;
        out.insert(out.end(), packet, packet + kTsPacketSize);
    }
    return out;
}

Bytes PcrPacket(std::uint16_t pid, std::uint8_t counter, std::optional<std::uint64_t> pcr, std::uint8_t fill)
{
    Bytes packet(kTsPacketSize, fill);
    if (pcr) {
        PutHeader(packet.data(), pid, false, kFieldAndPayload, counter);
        packet[4] = 7;     // flags byte + six PCR bytes
        packet[5] = 0x10;  // PCR_flag
        PutPcr(&packet[6], *pcr);
    } else {
        PutHeader(packet.data(), pid, false, kPayloadOnly, counter);
    }
    return packet;
}

Bytes PcrStream(std::uint16_t pid, int pcrCount, int packetsPerPcr, std::uint64_t stepTicks, std::uint64_t firstPcr)
{
    Bytes bytes;
    std::uint8_t counter = 0;
    for (int i = 0; i < pcrCount; ++i) {
        for (int k = 0; k < packetsPerPcr; ++k) {
            std::optional<std::uint64_t> pcr;
            if (k == 0)
                pcr = firstPcr + static_cast<std::uint64_t>(i) * stepTicks;
            Append(bytes, PcrPacket(pid, counter++, pcr, static_cast<std::uint8_t>(i * packetsPerPcr + k)));
        }
    }
    return bytes;
}

void TsWriter::Packet(std::uint16_t pid, bool unitStart, const std::uint8_t* data, std::size_t size)
{
    std::uint8_t p[kTsPacketSize];
    std::memset(p, kStuffing, sizeof p);
    const std::uint8_t counter = counters_[pid & kTsMaxPid]++ & 0x0F;
    std::size_t at = kHeaderSize;
    size = std::min(size, kPayloadRoom);
    if (size < kPayloadRoom) {
        PutHeader(p, pid, unitStart, kFieldAndPayload, counter);
        const std::size_t fieldLength = kPayloadRoom - 1 - size;
        p[4] = static_cast<std::uint8_t>(fieldLength);
        if (fieldLength > 0)
            p[5] = 0x00;  // no flags; the rest stays 0xFF stuffing
        at = 5 + fieldLength;
    } else {
        PutHeader(p, pid, unitStart, kPayloadOnly, counter);
    }
    std::memcpy(p + at, data, size);
    bytes_.insert(bytes_.end(), p, p + kTsPacketSize);
}

void TsWriter::Section(std::uint16_t pid, const Bytes& section)
{
    Bytes payload{0};  // pointer_field
    Append(payload, section);
    // Sections end with 0xFF stuffing inside the payload rather than an adaptation field.
    while (payload.size() % kPayloadRoom != 0)
        payload.push_back(kStuffing);
    for (std::size_t at = 0; at < payload.size(); at += kPayloadRoom)
        Packet(pid, at == 0, payload.data() + at, kPayloadRoom);
}

void TsWriter::Pes(std::uint16_t pid, std::uint8_t streamId, const Bytes& payload, std::optional<std::uint64_t> pts,
                   bool bounded)
{
    Bytes pes = {0x00, 0x00, 0x01, streamId, 0x00, 0x00, 0x80, static_cast<std::uint8_t>(pts ? 0x80 : 0x00),
                 static_cast<std::uint8_t>(pts ? 5 : 0)};
    if (pts) {
        const std::uint64_t t = *pts;
        pes.push_back(static_cast<std::uint8_t>(0x21 | ((t >> 29) & 0x0E)));
        pes.push_back(static_cast<std::uint8_t>(t >> 22));
        pes.push_back(static_cast<std::uint8_t>(0x01 | ((t >> 14) & 0xFE)));
        pes.push_back(static_cast<std::uint8_t>(t >> 7));
        pes.push_back(static_cast<std::uint8_t>(0x01 | ((t << 1) & 0xFE)));
    }
    Append(pes, payload);
    if (bounded) {
        const std::size_t length = pes.size() - 6;
        pes[4] = static_cast<std::uint8_t>(length >> 8);
        pes[5] = static_cast<std::uint8_t>(length);
    }
    for (std::size_t at = 0; at < pes.size(); at += kPayloadRoom)
        Packet(pid, at == 0, pes.data() + at, std::min(kPayloadRoom, pes.size() - at));
}

void TsWriter::NullPacket()
{
    std::uint8_t none[kPayloadRoom];
    std::memset(none, kStuffing, sizeof none);
    Packet(kTsNullPid, false, none, sizeof none);
}

}  // namespace tstest
