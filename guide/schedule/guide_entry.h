#pragma once
// A guide event ready to show, store or export: texts decoded to UTF-8.
#include <cstdint>
#include <string>

#include "guide/schedule/schedule_event.h"

struct GuideEntry {
    ServiceKey service;
    std::uint16_t eventId = 0;
    std::int64_t start = 0;  // UTC, seconds since 1970-01-01
    std::int64_t stop = 0;
    std::string title;
    std::string subtitle;     // the short event's text
    std::string description;  // the extended items and text
    std::uint8_t content = 0;     // content nibbles (see FrenchGenre)
    std::uint8_t minimumAge = 0;  // 0: none
    std::uint8_t flags = 0;       // EventFlag bits
};

struct GuideService {
    ServiceKey key;
    std::string name;  // UTF-8
};
