#include <algorithm>
#include <cstring>

#include "channels/psi/packet_tap.h"

// The first two bytes seed the sample sizes (1 to 700 bytes, as a tuner may cut
// them); the rest is the stream. Every packet out must be whole, begin with the
// sync byte, and stand in the stream after the previous one: nothing invented,
// nothing handed out twice.
namespace {

struct Checker : PacketSubscriber {
    const std::uint8_t* stream;
    std::size_t size;
    std::size_t next = 0;  // where the next packet out may begin at the earliest
    bool OnPackets(const std::uint8_t* packets, std::size_t count) override
    {
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* packet = packets + i * 188;
            if (packet[0] != 0x47)
                __builtin_trap();
            const void* found = size - next >= 188 ? memmem(stream + next, size - next, packet, 188) : nullptr;
            if (!found)
                __builtin_trap();
            next = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - stream) + 188;
        }
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    std::uint32_t seed = data[0] | data[1] << 8;
    Checker checker;
    checker.stream = data + 2;
    checker.size = size - 2;
    PacketTap tap;
    tap.Subscribe(&checker);
    for (std::size_t at = 0; at < checker.size;) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t sample = std::min<std::size_t>(1 + (seed >> 8) % 700, checker.size - at);
        tap.Feed(checker.stream + at, sample);
        at += sample;
    }
    return 0;
}
