// Programme map table (table_id 0x02): the PIDs one service is played from.
#include "channels/psi/byte_cursor.h"
#include "channels/psi/psi_parsers.h"

namespace {

constexpr std::uint8_t kMpeg1Video = 0x01;
constexpr std::uint8_t kMpeg2Video = 0x02;
constexpr std::uint8_t kMpeg1Audio = 0x03;
constexpr std::uint8_t kMpeg2Audio = 0x04;
// DVB carries AC-3 as PES private data, told apart only by its descriptor.
constexpr std::uint8_t kPesPrivateData = 0x06;
constexpr std::uint8_t kAc3DescriptorTag = 0x6A;

bool HasDescriptor(ByteCursor descriptors, std::uint8_t wanted)
{
    while (descriptors.remaining() > 0) {
        const std::uint8_t tag = descriptors.u8();
        const std::uint8_t length = descriptors.u8();
        descriptors.skip(length);
        if (!descriptors.ok())
            return false;
        if (tag == wanted)
            return true;
    }
    return false;
}

}  // namespace

void ParsePmt(const std::uint8_t* section, std::size_t length, std::size_t position, ChannelList& list)
{
    if (position >= list.size())
        return;
    Chaine& record = list[position];

    ByteCursor body = SectionBody(section, length);
    body.skip(8);  // table_id .. last_section_number
    const std::uint16_t pcr = body.pid13();
    const std::uint16_t programInfoLength = body.len12();
    if (!body.ok())
        return;
    // Kept as read, 0x1FFF (no PCR) included.
    record.PCR = pcr;

    body.skip(programInfoLength);
    while (body.remaining() > 0) {
        const std::uint8_t streamType = body.u8();
        const std::uint16_t pid = body.pid13();
        const std::uint16_t esInfoLength = body.len12();
        const ByteCursor descriptors = body.sub(esInfoLength);
        if (!body.ok())
            break;

        if (streamType == kMpeg1Video || streamType == kMpeg2Video) {
            record.Video = pid;
        } else if (streamType == kMpeg1Audio || streamType == kMpeg2Audio) {
            // First audio stream on Son1; any later one replaces Son2.
            if (record.Son1 == 0)
                record.Son1 = pid;
            else
                record.Son2 = pid;
        } else if (streamType == kPesPrivateData && HasDescriptor(descriptors, kAc3DescriptorTag)) {
            record.Ac3 = pid;
        }
    }
}
