#include "channels/psi/crc32.h"
#include "channels/psi/psi_parsers.h"
#include "channels/psi/section_assembler.h"

// The input is a run of transport packets. Every section handed out must be
// whole (its length field matches) and, in the long form, carry a valid CRC.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint16_t pid = size >= 3 ? static_cast<std::uint16_t>((data[1] & 0x1F) << 8 | data[2]) : 0;
    ChannelList list;
    SectionAssembler assembler(
        pid,
        [&](const std::uint8_t* section, std::size_t length) {
            if (length < 3 || length != 3u + ((section[1] & 0x0F) << 8 | section[2]) || length > kMaxSectionSize)
                __builtin_trap();
            if ((section[1] & 0x80) && Crc32Mpeg(section, length) != 0)
                __builtin_trap();
            if (section[0] == kSdtActualTableId && list.size() < 1000)
                ParseSdt(section, length, 0, list);
        },
        true);
    assembler.Feed(data, size);
    return 0;
}
