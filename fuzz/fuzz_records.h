#pragma once
// A small channel list for the fuzz targets: records that a section's own
// identifiers can match, so the fuzzer reaches the code that writes them.
#include <cstddef>
#include <cstdint>

#include "channels/chaine.h"

inline ChannelList FuzzRecords(const std::uint8_t* data, std::size_t size)
{
    ChannelList list;
    for (int i = 0; i < 3; ++i) {
        Chaine c = MakeEmptyChaine();
        // Identifiers taken from where the tables carry them, when present.
        auto at = [&](std::size_t offset) -> std::int32_t {
            return offset + 1 < size ? (data[offset] << 8 | data[offset + 1]) : 0;
        };
        c.TSID = at(3);
        c.SID = i == 0 ? at(3) : at(12 + 4 * i);
        c.ONID = at(8);
        list.push_back(c);
    }
    return list;
}
