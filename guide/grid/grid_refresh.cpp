#include "guide/grid/grid_refresh.h"

#include <algorithm>

namespace {

bool SameEntry(const GuideEntry& a, const GuideEntry& b)
{
    return a.service == b.service && a.eventId == b.eventId && a.start == b.start && a.stop == b.stop &&
           a.content == b.content && a.minimumAge == b.minimumAge && a.flags == b.flags && a.title == b.title &&
           a.subtitle == b.subtitle && a.description == b.description;
}

}  // namespace

bool SameSchedule(const std::vector<GridRow>& a, const std::vector<GridRow>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t r = 0; r < a.size(); ++r) {
        const auto& x = a[r].events;
        const auto& y = b[r].events;
        if (x.size() != y.size())
            return false;
        for (std::size_t e = 0; e < x.size(); ++e)
            if (!SameEntry(x[e], y[e]))
                return false;
    }
    return true;
}

GridState KeepPlace(const GridContext& c, const GridState& before, const std::optional<GuideEntry>& selected)
{
    const auto& rows = c.rows;
    if (!selected)
        return StateAtNow(c, std::clamp(before.place.row, 0, std::max(0, static_cast<int>(rows.size()) - 1)));
    GridState state = before;
    if (before.place.row < 0 || before.place.row >= static_cast<int>(rows.size())) {
        state.place = {};
        return state;
    }
    const GridRow& row = rows[static_cast<std::size_t>(before.place.row)];
    const auto& events = row.events;
    int sameId = -1;
    for (std::size_t e = 0; e < events.size(); ++e) {
        if (events[e].eventId != selected->eventId)
            continue;
        if (events[e].start == selected->start) {
            state.place.event = static_cast<int>(e);
            return state;
        }
        if (sameId < 0)
            sameId = static_cast<int>(e);
    }
    state.place.event = sameId >= 0 ? sameId : EventAt(row, selected->start);
    return state;
}
