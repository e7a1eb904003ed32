#pragma once
// Random bytes almost never carry a right CRC_32, and the section parsers stop
// there: the fuzz targets set it right first, so that the fuzzer reaches what
// follows the header (wrong CRCs are the unit tests' business).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "channels/psi/crc32.h"

inline std::vector<std::uint8_t> WithRightCrc(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> s(data, data + size);
    if (s.size() < 3)
        return s;
    const std::size_t total = std::min<std::size_t>(s.size(), 3u + ((s[1] & 0x0Fu) << 8 | s[2]));
    if (total < 8)
        return s;
    const std::uint32_t crc = Crc32Mpeg(s.data(), total - 4);
    for (int i = 0; i < 4; ++i)
        s[total - 4 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    return s;
}
