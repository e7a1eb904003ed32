#include "guide/schedule/eit_schedule_parser.h"

#include "channels/psi/byte_cursor.h"
#include "channels/psi/crc32.h"
#include "guide/eit_time.h"
#include "guide/schedule/event_descriptors.h"

namespace {

// Seconds from 1601-01-01 (the file-time origin) to 1970-01-01.
constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11644473600;
constexpr std::int64_t kLongestEvent = 24 * 3600;

}  // namespace

EitSectionStatus ParseEitSection(const std::uint8_t* section, std::size_t length, EitSection& out)
{
    ByteCursor header(section, length);
    const std::uint8_t tableId = header.u8();
    const std::uint16_t flagsAndLength = header.u16();
    if (!header.ok() || tableId < kEitFirstTableId || tableId > kEitLastTableId || !(flagsAndLength & 0x8000))
        return EitSectionStatus::NotEit;
    const std::size_t total = 3u + (flagsAndLength & 0x0FFF);
    // 14 bytes of header after section_length, then the CRC_32.
    if (total > length || total < 3 + 11 + 4 || Crc32Mpeg(section, total) != 0)
        return EitSectionStatus::Damaged;

    ByteCursor c = SectionBody(section, total);
    c.skip(3);
    out = EitSection{};
    out.tableId = tableId;
    out.service.sid = c.u16();
    const std::uint8_t versionByte = c.u8();
    out.version = (versionByte >> 1) & 0x1F;
    out.sectionNumber = c.u8();
    out.lastSectionNumber = c.u8();
    out.service.tsid = c.u16();
    out.service.onid = c.u16();
    out.segmentLastSectionNumber = c.u8();
    out.lastTableId = c.u8();
    if (!(versionByte & 0x01))
        return EitSectionStatus::NotCurrent;

    while (c.remaining() > 0) {
        ScheduleEvent e;
        e.eventId = c.u16();
        const std::uint8_t* start = c.bytes(5);
        const std::uint8_t* duration = c.bytes(3);
        const std::uint16_t statusAndLength = c.u16();
        const std::uint16_t loopLength = statusAndLength & 0x0FFF;
        const std::uint8_t* loop = c.bytes(loopLength);
        if (!c.ok())
            break;
        const std::uint64_t fileTime = EitStartToFileTime(start);
        const std::int64_t seconds = EitDurationSeconds(duration);
        if (fileTime == 0 || seconds <= 0 || seconds > kLongestEvent)
            continue;
        e.start = static_cast<std::int64_t>(fileTime / kFileTimeTicksPerSecond) - kUnixEpochInFileTimeSeconds;
        e.duration = static_cast<std::int32_t>(seconds);
        e.runningStatus = static_cast<std::uint8_t>(statusAndLength >> 13);
        if (ReadEventDescriptors(loop, loopLength, e))
            out.events.push_back(std::move(e));
    }
    return EitSectionStatus::Ok;
}
