// Any bytes as a TDT or TOT: read inside the bytes, and a time given only when
// it is a real instant.
#include <algorithm>
#include <vector>

#include "channels/psi/crc32.h"
#include "guide/schedule/broadcast_clock.h"

namespace {

// Random bytes almost never carry a right CRC_32, and the parser stops there:
// it is set right first, so that the fuzzer reaches the descriptors (wrong CRCs
// are the unit tests' business).
std::vector<std::uint8_t> WithRightCrc(const std::uint8_t* data, std::size_t size)
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length)
{
    const std::vector<std::uint8_t> fixed = WithRightCrc(bytes, length);
    const std::uint8_t* data = fixed.data();
    const std::size_t size = fixed.size();
    BroadcastTime t;
    if (ParseTimeSection(data, size, t) != ClockSectionStatus::Ok)
        return 0;
    // MJD 0 to 0xFFFE spans 1858 to 2038-ish and beyond; 0xFFFF is refused.
    if (t.utc < -3506716800LL || t.utc > 2147483647LL * 4)
        __builtin_trap();
    if (t.france && (t.france->minutes < -1439 || t.france->minutes > 1439 || t.france->nextMinutes < -1439 ||
                     t.france->nextMinutes > 1439))
        __builtin_trap();
    return 0;
}
