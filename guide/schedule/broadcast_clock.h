#pragma once
// The broadcast's clock: time and date table (TDT, table_id 0x70) and time
// offset table (TOT, 0x73), both on PID 0x14. The TOT carries the local time
// offset descriptor (0x58), of which the entry for France is kept: the offset
// now, and the instant it changes with the offset after it (summer time).
#include <cstddef>
#include <cstdint>
#include <optional>

constexpr std::uint16_t kClockPid = 0x0014;
constexpr std::uint8_t kTdtTableId = 0x70;
constexpr std::uint8_t kTotTableId = 0x73;

struct LocalTimeOffset {
    int minutes = 0;                // local time minus UTC
    std::int64_t changeTime = 0;    // UTC, seconds since 1970-01-01
    int nextMinutes = 0;            // the offset from changeTime on
};

struct BroadcastTime {
    std::int64_t utc = 0;  // seconds since 1970-01-01
    std::optional<LocalTimeOffset> france;
};

enum class ClockSectionStatus {
    Ok,
    NotClock,  // another table
    Damaged,   // lengths that disagree, a bad CRC_32 (TOT), a time that is no instant
};

// Reads a TDT or a TOT (from its table_id byte, `length` bytes as delivered).
// A TDT has no CRC; a TOT's CRC_32 is checked here. A FRA entry whose offsets are
// not BCD hours and minutes is ignored, the time is still read.
ClockSectionStatus ParseTimeSection(const std::uint8_t* section, std::size_t length, BroadcastTime& out);

// The offset in force at `utc`.
int OffsetAt(const LocalTimeOffset& offset, std::int64_t utc);
