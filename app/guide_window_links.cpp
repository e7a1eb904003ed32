#include "app/guide_window_links.h"

// Until the clock reader hands its difference over (BroadcastClockDifference),
// the window knows of no disagreement and shows no notice.
std::optional<std::int64_t> GuideWindowClockDifference()
{
    return std::nullopt;
}

// Until the timers exist, no programme has a recording set.
bool IsRecordingSetFor(const GuideEntry&)
{
    return false;
}
