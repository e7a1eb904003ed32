// Network information table (table_id 0x40): logical channel numbers, and where
// each transport stream of the network is broadcast.
#include "channels/psi/byte_cursor.h"
#include "channels/psi/psi_parsers.h"

namespace {

// Private descriptor of the French (and EICTA/NorDig) terrestrial networks:
// entries of service_id and a 10-bit logical channel number.
constexpr std::uint8_t kLogicalChannelTag = 0x83;
// terrestrial_delivery_system_descriptor: it opens with the multiplex's centre
// frequency, 32 bits in units of 10 Hz.
constexpr std::uint8_t kTerrestrialDeliveryTag = 0x5A;

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

// Walks the NIT's transport stream loop, handing each entry's ids and its
// descriptor loop to `visit`. Offsets count from the first byte of the
// transport_stream_loop_length field, so the first entry is at 2; an entry is
// read while its offset is below the loop length.
template <typename Visit>
void ForEachTransportStream(const std::uint8_t* section, std::size_t length, Visit visit)
{
    ByteCursor body = SectionBody(section, length);
    body.skip(8);  // table_id .. last_section_number
    const std::uint16_t networkDescriptorsLength = body.len12();
    body.skip(networkDescriptorsLength);
    const std::uint16_t loopLength = body.len12();
    if (!body.ok())
        return;

    std::size_t offset = 2;
    while (offset < loopLength) {
        const std::uint16_t tsid = body.u16();
        const std::uint16_t onid = body.u16();
        const std::uint16_t descriptorsLength = body.len12();
        ByteCursor descriptors = body.sub(descriptorsLength);
        if (!body.ok())
            break;
        offset += 6u + descriptorsLength;
        visit(onid, tsid, descriptors);
    }
}

// Calls `visit(tag, payload)` for each whole descriptor of a loop.
template <typename Visit>
void ForEachDescriptor(ByteCursor descriptors, Visit visit)
{
    while (descriptors.remaining() > 0) {
        const std::uint8_t tag = descriptors.u8();
        const std::uint8_t descriptorLength = descriptors.u8();
        const ByteCursor payload = descriptors.sub(descriptorLength);
        if (!descriptors.ok())
            break;
        visit(tag, descriptorLength, payload);
    }
}

}  // namespace

void ApplyNit(const std::uint8_t* section, std::size_t length, ChannelList& list)
{
    ForEachTransportStream(section, length, [&list](std::uint16_t onid, std::uint16_t tsid, ByteCursor descriptors) {
        ForEachDescriptor(descriptors, [&](std::uint8_t tag, std::uint8_t descriptorLength, ByteCursor payload) {
            if (tag == kLogicalChannelTag && descriptorLength > 0)
                ApplyLogicalChannels(payload, onid, tsid, list);
        });
    });
}

std::vector<AnnouncedStream> ReadNitDeliveries(const std::uint8_t* section, std::size_t length)
{
    std::vector<AnnouncedStream> streams;
    ForEachTransportStream(section, length, [&streams](std::uint16_t onid, std::uint16_t tsid, ByteCursor descriptors) {
        ForEachDescriptor(descriptors, [&](std::uint8_t tag, std::uint8_t, ByteCursor payload) {
            if (tag != kTerrestrialDeliveryTag)
                return;
            const std::uint32_t tensOfHz = static_cast<std::uint32_t>(payload.u16()) << 16 | payload.u16();
            // A descriptor too short for its frequency says nothing; 0 is no place either.
            if (payload.ok() && tensOfHz != 0)
                streams.push_back({onid, tsid, static_cast<std::int32_t>(tensOfHz / 100)});
        });
    });
    return streams;
}
