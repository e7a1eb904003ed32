// Any bytes as a TDT or TOT: read inside the bytes, and a time given only when
// it is a real instant.
#include <algorithm>
#include <vector>

#include "fuzz/section_with_crc.h"
#include "guide/schedule/broadcast_clock.h"

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
