#include "guide/schedule/broadcast_clock.h"

#include <cstring>

#include "channels/psi/byte_cursor.h"
#include "channels/psi/crc32.h"
#include "guide/eit_time.h"

namespace {

constexpr std::uint8_t kLocalTimeOffsetDescriptor = 0x58;
constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11644473600;
constexpr std::size_t kOffsetEntrySize = 13;

bool ToUnix(const std::uint8_t* field, std::int64_t& out)
{
    const std::uint64_t fileTime = field ? EitStartToFileTime(field) : 0;
    if (fileTime == 0)
        return false;
    out = static_cast<std::int64_t>(fileTime / kFileTimeTicksPerSecond) - kUnixEpochInFileTimeSeconds;
    return true;
}

// Four BCD digits hh mm.
bool BcdMinutes(std::uint16_t bcd, int& minutes)
{
    const int digits[4] = {bcd >> 12, (bcd >> 8) & 0xF, (bcd >> 4) & 0xF, bcd & 0xF};
    for (int d : digits)
        if (d > 9)
            return false;
    const int hours = digits[0] * 10 + digits[1];
    const int mins = digits[2] * 10 + digits[3];
    if (hours > 23 || mins > 59)
        return false;
    minutes = hours * 60 + mins;
    return true;
}

void ReadOffsets(ByteCursor d, BroadcastTime& out)
{
    while (d.remaining() >= kOffsetEntrySize) {
        const std::uint8_t* country = d.bytes(3);
        const std::uint8_t regionAndPolarity = d.u8();
        const std::uint16_t now = d.u16();
        const std::uint8_t* change = d.bytes(5);
        const std::uint16_t next = d.u16();
        if (!d.ok() || std::memcmp(country, "FRA", 3) != 0 || out.france)
            continue;
        LocalTimeOffset o;
        if (!BcdMinutes(now, o.minutes) || !BcdMinutes(next, o.nextMinutes) || !ToUnix(change, o.changeTime))
            continue;
        // One polarity bit for both offsets: 1 is west of Greenwich.
        if (regionAndPolarity & 0x01) {
            o.minutes = -o.minutes;
            o.nextMinutes = -o.nextMinutes;
        }
        out.france = o;
    }
}

}  // namespace

ClockSectionStatus ParseTimeSection(const std::uint8_t* section, std::size_t length, BroadcastTime& out)
{
    ByteCursor header(section, length);
    const std::uint8_t tableId = header.u8();
    const std::uint16_t sectionLength = header.len12();
    if (!header.ok() || (tableId != kTdtTableId && tableId != kTotTableId))
        return ClockSectionStatus::NotClock;
    const std::size_t total = 3u + sectionLength;
    if (total > length || sectionLength < 5)
        return ClockSectionStatus::Damaged;
    out = BroadcastTime{};
    if (tableId == kTdtTableId)
        return ToUnix(header.bytes(5), out.utc) ? ClockSectionStatus::Ok : ClockSectionStatus::Damaged;

    if (total < 3 + 5 + 2 + 4 || Crc32Mpeg(section, total) != 0)
        return ClockSectionStatus::Damaged;
    ByteCursor c = SectionBody(section, total);
    c.skip(3);
    if (!ToUnix(c.bytes(5), out.utc))
        return ClockSectionStatus::Damaged;
    ByteCursor descriptors = c.sub(c.len12());
    if (!c.ok())
        return ClockSectionStatus::Damaged;
    while (descriptors.remaining() > 0) {
        const std::uint8_t tag = descriptors.u8();
        ByteCursor d = descriptors.sub(descriptors.u8());
        if (!descriptors.ok())
            break;
        if (tag == kLocalTimeOffsetDescriptor)
            ReadOffsets(d, out);
    }
    return ClockSectionStatus::Ok;
}

int OffsetAt(const LocalTimeOffset& offset, std::int64_t utc)
{
    return utc < offset.changeTime ? offset.minutes : offset.nextMinutes;
}
