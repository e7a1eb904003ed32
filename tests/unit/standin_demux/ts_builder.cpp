#include "ts_builder.h"

#include <cstring>

#include "channels/psi/crc32.h"

Bytes MakeSection(std::uint8_t tableId, std::uint16_t extension, const Bytes& body,
                  std::uint8_t version)
{
    const std::size_t sectionLength = 5 + body.size() + 4;
    Bytes s;
    s.push_back(tableId);
    s.push_back(static_cast<std::uint8_t>(0xB0 | ((sectionLength >> 8) & 0x0F)));
    s.push_back(static_cast<std::uint8_t>(sectionLength & 0xFF));
    s.push_back(static_cast<std::uint8_t>(extension >> 8));
    s.push_back(static_cast<std::uint8_t>(extension & 0xFF));
    s.push_back(static_cast<std::uint8_t>(0xC1 | ((version & 0x1F) << 1)));
    s.push_back(0);  // section_number
    s.push_back(0);  // last_section_number
    s.insert(s.end(), body.begin(), body.end());
    const std::uint32_t crc = Crc32Mpeg(s.data(), s.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        s.push_back(static_cast<std::uint8_t>(crc >> shift));
    return s;
}

Bytes MakeSdt(std::uint16_t transportStreamId, std::uint16_t serviceId, const char* name)
{
    const std::size_t nameLength = std::strlen(name);
    Bytes descriptor = {0x48, static_cast<std::uint8_t>(3 + nameLength), 0x01, 0x00,
                        static_cast<std::uint8_t>(nameLength)};
    descriptor.insert(descriptor.end(), name, name + nameLength);
    Bytes body = {0x20, 0x85, 0xFF};  // original_network_id, reserved
    body.push_back(static_cast<std::uint8_t>(serviceId >> 8));
    body.push_back(static_cast<std::uint8_t>(serviceId & 0xFF));
    body.push_back(0xFC);
    body.push_back(static_cast<std::uint8_t>(0x80 | (descriptor.size() >> 8)));
    body.push_back(static_cast<std::uint8_t>(descriptor.size() & 0xFF));
    body.insert(body.end(), descriptor.begin(), descriptor.end());
    return MakeSection(0x42, transportStreamId, body);
}

void TsWriter::Packet(std::uint16_t pid, bool unitStart, const std::uint8_t* data, std::size_t size)
{
    std::uint8_t p[188];
    std::memset(p, 0xFF, sizeof p);
    p[0] = 0x47;
    p[1] = static_cast<std::uint8_t>((unitStart ? 0x40 : 0x00) | (pid >> 8));
    p[2] = static_cast<std::uint8_t>(pid & 0xFF);
    const std::uint8_t counter = counters_[pid]++ & 0x0F;
    std::size_t at = 4;
    if (size < 184) {
        p[3] = static_cast<std::uint8_t>(0x30 | counter);
        const std::size_t fieldLength = 183 - size;
        p[4] = static_cast<std::uint8_t>(fieldLength);
        if (fieldLength > 0)
            p[5] = 0x00;  // no flags; the rest stays 0xFF stuffing
        at = 5 + fieldLength;
    } else {
        p[3] = static_cast<std::uint8_t>(0x10 | counter);
    }
    std::memcpy(p + at, data, size);
    bytes_.insert(bytes_.end(), p, p + 188);
}

void TsWriter::Section(std::uint16_t pid, const Bytes& section)
{
    Bytes payload;
    payload.push_back(0);  // pointer_field
    payload.insert(payload.end(), section.begin(), section.end());
    // Sections end with 0xFF stuffing inside the payload rather than an adaptation field.
    while (payload.size() % 184 != 0)
        payload.push_back(0xFF);
    for (std::size_t at = 0; at < payload.size(); at += 184)
        Packet(pid, at == 0, payload.data() + at, 184);
}

void TsWriter::Pes(std::uint16_t pid, std::uint8_t streamId, const Bytes& payload,
                   std::optional<std::uint64_t> pts, bool bounded)
{
    Bytes pes = {0x00, 0x00, 0x01, streamId, 0x00, 0x00, 0x80,
                 static_cast<std::uint8_t>(pts ? 0x80 : 0x00),
                 static_cast<std::uint8_t>(pts ? 5 : 0)};
    if (pts) {
        const std::uint64_t t = *pts;
        pes.push_back(static_cast<std::uint8_t>(0x21 | ((t >> 29) & 0x0E)));
        pes.push_back(static_cast<std::uint8_t>(t >> 22));
        pes.push_back(static_cast<std::uint8_t>(0x01 | ((t >> 14) & 0xFE)));
        pes.push_back(static_cast<std::uint8_t>(t >> 7));
        pes.push_back(static_cast<std::uint8_t>(0x01 | ((t << 1) & 0xFE)));
    }
    pes.insert(pes.end(), payload.begin(), payload.end());
    if (bounded) {
        const std::size_t length = pes.size() - 6;
        pes[4] = static_cast<std::uint8_t>(length >> 8);
        pes[5] = static_cast<std::uint8_t>(length & 0xFF);
    }
    for (std::size_t at = 0; at < pes.size(); at += 184) {
        const std::size_t size = pes.size() - at < 184 ? pes.size() - at : 184;
        Packet(pid, at == 0, pes.data() + at, size);
    }
}

void TsWriter::NullPacket()
{
    std::uint8_t none[184];
    std::memset(none, 0xFF, sizeof none);
    Packet(0x1FFF, false, none, sizeof none);
}

Bytes Pattern(std::size_t size, std::uint8_t seed)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}
