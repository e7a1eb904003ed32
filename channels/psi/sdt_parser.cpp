// Service description table (table_id 0x42): one channel record per service.
#include <algorithm>
#include <cstring>

#include "channels/psi/byte_cursor.h"
#include "channels/psi/psi_parsers.h"

namespace {

void CopyName(const std::uint8_t* bytes, std::size_t n, char (&field)[256])
{
    n = std::min(n, sizeof field - 1);  // a length byte never exceeds 255
    std::memcpy(field, bytes, n);
    field[n] = '\0';
}

}  // namespace

void ParseSdt(const std::uint8_t* section, std::size_t length, std::int32_t frequency, ChannelList& list)
{
    ByteCursor body = SectionBody(section, length);
    body.skip(3);  // table_id, section_length
    const std::uint16_t tsid = body.u16();
    body.skip(3);  // version, section_number, last_section_number
    const std::uint16_t onid = body.u16();
    body.skip(1);  // reserved_future_use
    if (!body.ok())
        return;

    while (body.remaining() > 0) {
        ByteCursor entry = body;
        const std::uint16_t sid = entry.u16();
        entry.skip(1);  // EIT flags
        const std::uint16_t descriptorsLength = entry.len12();
        // The first descriptor is taken to be the service descriptor without a
        // look at its tag: broadcasters put it first. Its tag, length and
        // service_type are passed over.
        entry.skip(3);
        const std::uint8_t providerLength = entry.u8();
        const std::uint8_t* provider = entry.bytes(providerLength);
        const std::uint8_t nameLength = entry.u8();
        const std::uint8_t* name = entry.bytes(nameLength);
        body.skip(5u + descriptorsLength);
        if (!entry.ok() || !body.ok())
            break;

        Chaine record = MakeEmptyChaine();
        CopyName(provider, providerLength, record.Groupe);
        CopyName(name, nameLength, record.Nom);
        record.Frequence = frequency;
        record.ONID = onid;
        record.TSID = tsid;
        record.SID = sid;
        list.push_back(record);
    }
}
