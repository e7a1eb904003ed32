#pragma once
// The broadcast's clock on PID 0x14: time and date table (UTC only) and time
// offset table (UTC and France's local time offset, with its next change).
#include <cstdint>

#include "tools/tsgen/psi_tables.h"

namespace tsgen {

inline constexpr std::uint16_t kPidTdt = 0x0014;

Section BuildTdt(std::int64_t now);
// With one local time offset descriptor: country FRA, region 0, the offset of
// metropolitan France at `now` (UTC+1, UTC+2 from the last Sunday of March to
// the last Sunday of October, changing at 01:00 UTC) and its next change.
Section BuildTot(std::int64_t now);

}  // namespace tsgen
