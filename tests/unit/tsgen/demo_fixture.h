#pragma once
// The demo broadcast, parsed and generated once for all the tests that read it.
#include <cstdint>
#include <vector>

#include "demo_broadcast.h"
#include "tools/tsgen/description_parser.h"
#include "tools/tsgen/muxer.h"

struct DemoBroadcast {
    tsgen::Description description;
    std::vector<std::vector<std::uint8_t>> streams;  // one per multiplex, description order

    static const DemoBroadcast& Get()
    {
        static const DemoBroadcast demo = [] {
            DemoBroadcast d;
            d.description = tsgen::ParseDescription(kDemoBroadcast);
            for (const tsgen::Multiplex& m : d.description.multiplexes)
                d.streams.push_back(tsgen::GenerateMultiplex(d.description, m));
            return d;
        }();
        return demo;
    }
};

// Time in 27 MHz units at which packet `index` of a stream at `bitrate` starts.
inline std::uint64_t PacketTime27(std::uint64_t index, std::uint32_t bitrate)
{
    return index * 188 * 8 * 27000000ull / bitrate;
}
