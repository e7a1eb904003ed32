#pragma once
// Times of the event information table: a start in UTC as MJD + BCD time, a
// duration in BCD, turned into the platform's file-time scale (100 ns units
// since 1 January 1601, UTC).
#include <cstdint>

#include "guide/mjd.h"

constexpr std::uint64_t kFileTimeTicksPerSecond = 10'000'000;

struct ClockTime {
    int hour;
    int minute;
    int second;
};

// Three bytes of two BCD digits each (hours, minutes, seconds). False when a
// digit is above 9.
bool DecodeBcdTime(const std::uint8_t* bytes, ClockTime& time);

// File time of a UTC date and time; 0 when the date or time is not a real one
// (month 0, 31 February, 25 h, a year before 1601...).
std::uint64_t UtcToFileTime(const CalendarDate& date, const ClockTime& time);

// File time of an EIT start_time field (16-bit MJD then BCD hh mm ss); 0 when
// the field is not a valid instant. An undefined start (all bits set) is not.
std::uint64_t EitStartToFileTime(const std::uint8_t* startField);

// Seconds of an EIT duration field (BCD hh mm ss); -1 when not valid.
std::int64_t EitDurationSeconds(const std::uint8_t* durationField);
