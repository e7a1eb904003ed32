#pragma once
// What the programme guide should show on the demo broadcast, worked out from
// its description rather than from the streams: the present and following
// events of each service at the broadcast's clock, times in local time.
#include <optional>
#include <string>
#include <vector>

#include "channels/chaine.h"

struct ShownEvent {
    std::wstring start;  // "HH:MM:SS", local time
    std::wstring end;
    std::wstring title;
    std::wstring text;
    bool operator==(const ShownEvent&) const = default;
};

struct ShownGuide {
    std::optional<ShownEvent> present;
    std::optional<ShownEvent> following;
};

// The events the description gives `channel` (found by frequency and service id).
ShownGuide DemoGuide(const Chaine& channel);

// The five status bar texts for `channel`: name, present start and title,
// following start and title.
std::vector<std::wstring> DemoStatusTexts(const Chaine& channel);
