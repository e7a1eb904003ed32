// Network information table (table_id 0x40): logical channel numbers.
#include "channels/psi/byte_cursor.h"
#include "channels/psi/psi_parsers.h"

namespace {

// Private descriptor of the French (and EICTA/NorDig) terrestrial networks:
// entries of service_id and a 10-bit logical channel number.
constexpr std::uint8_t kLogicalChannelTag = 0x83;

void ApplyLogicalChannels(ByteCursor entries, std::uint16_t onid, std::uint16_t tsid, ChannelList& list)
{
    while (entries.remaining() >= 4) {
        const std::uint16_t sid = entries.u16();
        // visible_service_flag and reserved bits above the 10-bit number.
        const std::uint16_t number = entries.u16() & 0x03FF;
        for (Chaine& c : list)
            if (c.ONID == onid && c.TSID == tsid && c.SID == sid)
                c.Numero = number;
    }
}

}  // namespace

void ApplyNit(const std::uint8_t* section, std::size_t length, ChannelList& list)
{
    ByteCursor body = SectionBody(section, length);
    body.skip(8);  // table_id .. last_section_number
    const std::uint16_t networkDescriptorsLength = body.len12();
    body.skip(networkDescriptorsLength);
    const std::uint16_t loopLength = body.len12();
    if (!body.ok())
        return;

    // Offsets count from the first byte of the transport_stream_loop_length
    // field, so the first entry is at 2; an entry is read while its offset is
    // below the loop length.
    std::size_t offset = 2;
    while (offset < loopLength) {
        const std::uint16_t tsid = body.u16();
        const std::uint16_t onid = body.u16();
        const std::uint16_t descriptorsLength = body.len12();
        ByteCursor descriptors = body.sub(descriptorsLength);
        if (!body.ok())
            break;
        offset += 6u + descriptorsLength;

        while (descriptors.remaining() > 0) {
            const std::uint8_t tag = descriptors.u8();
            const std::uint8_t descriptorLength = descriptors.u8();
            const ByteCursor payload = descriptors.sub(descriptorLength);
            if (!descriptors.ok())
                break;
            if (tag == kLogicalChannelTag && descriptorLength > 0)
                ApplyLogicalChannels(payload, onid, tsid, list);
        }
    }
}
