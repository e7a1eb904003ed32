// Programme association table (table_id 0x00): the PMT PID of each service.
#include "channels/psi/byte_cursor.h"
#include "channels/psi/psi_parsers.h"

void ParsePat(const std::uint8_t* section, std::size_t length, ChannelList& list)
{
    ByteCursor body = SectionBody(section, length);
    body.skip(3);  // table_id, section_length
    const std::uint16_t tsid = body.u16();
    // Version and section numbers, then the first entry: in broadcast multiplexes
    // it is programme 0, the NIT PID, which names no service.
    body.skip(3 + 4);
    if (!body.ok())
        return;

    while (body.remaining() >= 4) {
        const std::uint16_t programNumber = body.u16();
        const std::uint16_t pid = body.pid13();
        // The same service may have been found on an earlier frequency too (a
        // multiplex received from two transmitters): every copy gets the PID.
        for (Chaine& c : list)
            if (c.TSID == tsid && c.SID == programNumber)
                c.PMT = pid;
    }
}
