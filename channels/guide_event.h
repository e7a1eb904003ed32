#pragma once
// One programme-guide event as kept in a channel's two guide slots.
#include <cstdint>

#include "channels/text/dvb_text_table.h"

struct GuideEvent {
    // Start instant in UTC, 100 ns units since 1 January 1601 (the file-time scale).
    // 0 marks an empty slot.
    std::uint64_t startTime;
    char startText[32];    // local start time "HH:MM:SS"
    char endText[32];      // local end time "HH:MM:SS"
    char title[256];       // event name of the short event descriptor
    char description[256]; // event text of the short event descriptor
    // The table each text is in when its selector was taken off (see CopyEitText);
    // FromText when the text carries its own.
    DvbTextTable titleTable;
    DvbTextTable descriptionTable;
};
