#pragma once
// The texts of the guide window: the details of a programme (for a read-only
// multi-line edit control, lines ended by CR LF), the lines of the search's
// results and the notice of a PC clock that disagrees with the broadcast.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "guide/grid/grid_time.h"
#include "guide/schedule/guide_entry.h"

// Day, start and end, channel, title, subtitle, genre, age mark, the flags in
// words, then the whole description. UTF-8.
std::string EventDetails(const GuideEntry& event, std::string_view channelName, const UtcOffsetAt& offsetAt);

// "mer. 10  20:50  France 2  Titre".
std::string SearchResultLine(const GuideEntry& event, std::string_view channelName, const UtcOffsetAt& offsetAt);

// The PC's clock minus the broadcast's, seconds; nothing while no time table
// has been read. Empty when they agree within a minute.
std::string ClockNotice(std::optional<std::int64_t> pcMinusBroadcast);
