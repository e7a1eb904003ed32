#include "tools/tsgen/pes.h"

#include <algorithm>

namespace tsgen {

std::vector<std::uint8_t> BuildPes(std::uint8_t streamId, std::uint64_t pts, const std::vector<std::uint8_t>& payload)
{
    constexpr std::size_t kHeaderSize = 6 + 3 + 5;  // start code, length; flags, header length; PTS
    const std::size_t length = kHeaderSize - 6 + payload.size();
    const std::size_t field = length <= 0xFFFF ? length : 0;
    pts &= (1ull << 33) - 1;
    const std::uint8_t header[kHeaderSize] = {
        0x00, 0x00, 0x01, streamId,
        static_cast<std::uint8_t>(field >> 8), static_cast<std::uint8_t>(field),
        0x84,  // '10', data_alignment_indicator: an access unit starts here
        0x80,  // PTS only
        5,
        static_cast<std::uint8_t>(0x20 | (pts >> 29 & 0x0E) | 1),
        static_cast<std::uint8_t>(pts >> 22),
        static_cast<std::uint8_t>((pts >> 14 & 0xFE) | 1),
        static_cast<std::uint8_t>(pts >> 7),
        static_cast<std::uint8_t>((pts << 1 & 0xFE) | 1),
    };
    std::vector<std::uint8_t> pes(kHeaderSize + payload.size());
    std::copy(std::begin(header), std::end(header), pes.begin());
    std::copy(payload.begin(), payload.end(), pes.begin() + kHeaderSize);
    return pes;
}

}  // namespace tsgen
