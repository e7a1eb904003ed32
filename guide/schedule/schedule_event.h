#pragma once
// One event of the programme guide's schedule as broadcast, and the service it
// belongs to. Texts are the broadcast bytes, selector byte included, so that the
// DVB text decoder reads each in its own character table.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "channels/service_key.h"

// What the component descriptors say about the picture, sound and subtitles.
enum EventFlag : std::uint8_t {
    kFlagHighDefinition = 1 << 0,
    kFlagWideScreen = 1 << 1,        // 16:9 or wider
    kFlagAudioDescription = 1 << 2,  // a sound track for the visually impaired
    kFlagDeafSubtitles = 1 << 3,     // subtitles for the deaf and hard of hearing
};

struct ScheduleEvent {
    std::uint16_t eventId = 0;
    std::int64_t start = 0;       // UTC, seconds since 1970-01-01
    std::int32_t duration = 0;    // seconds, 1 to 86400
    std::uint8_t runningStatus = 0;
    std::string language;         // ISO 639-2 code of the short event descriptor
    std::string title;            // event_name of the short event descriptor
    std::string shortText;        // its text
    // The extended event descriptors 0..last joined in order: their items
    // (description, item) and their text.
    std::vector<std::pair<std::string, std::string>> items;
    std::string extendedText;
    std::uint8_t content = 0;     // first content nibbles byte (level 1 << 4 | level 2); 0: none
    std::uint8_t minimumAge = 0;  // parental rating for France, years; 0: none
    std::uint8_t flags = 0;       // EventFlag bits

    std::int64_t end() const { return start + duration; }
};
