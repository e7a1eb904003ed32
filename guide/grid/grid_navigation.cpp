#include "guide/grid/grid_navigation.h"

#include <algorithm>

namespace {

const GuideEntry* EventOf(const GridContext& c, const GridPlace& p)
{
    if (p.row < 0 || p.row >= static_cast<int>(c.rows.size()))
        return nullptr;
    const auto& events = c.rows[static_cast<size_t>(p.row)].events;
    if (p.event < 0 || p.event >= static_cast<int>(events.size()))
        return nullptr;
    return &events[static_cast<size_t>(p.event)];
}

std::int64_t Floor(const GridContext& c, std::int64_t t)
{
    return FloorHalfHour(t, c.offsetAt(t));
}

// The view stays between the half hour of now (or of the first programme, when
// the guide holds past ones) and the last programme's end.
std::int64_t ClampStart(const GridContext& c, std::int64_t start)
{
    std::int64_t first = c.now, last = c.now;
    for (const GridRow& row : c.rows)
        if (!row.events.empty()) {
            first = std::min(first, row.events.front().start);
            for (const GuideEntry& e : row.events)
                last = std::max(last, e.stop);
        }
    const std::int64_t low = Floor(c, first);
    const std::int64_t high = std::max(low, Floor(c, last));
    return std::clamp(start, low, high);
}

int ClampRow(const GridContext& c, int row)
{
    return std::clamp(row, 0, std::max(0, static_cast<int>(c.rows.size()) - 1));
}

// The first row moved the least so that `row` is wholly in view.
int FirstRowShowing(const GridContext& c, int firstRow, int row)
{
    const int whole = std::max(1, (c.geometry.height - c.geometry.headerHeight) / std::max(1, c.geometry.rowHeight));
    if (row < firstRow)
        return row;
    if (row >= firstRow + whole)
        return row - whole + 1;
    return firstRow;
}

// The view moved so that the selected programme's start shows, when it is out.
GridView Reveal(const GridContext& c, GridView view, const GridPlace& place)
{
    view.firstRow = FirstRowShowing(c, view.firstRow, place.row);
    if (const GuideEntry* e = EventOf(c, place)) {
        const std::int64_t end = view.start + VisibleSeconds(c.geometry);
        if (e->stop <= view.start || e->start >= end)
            view.start = ClampStart(c, Floor(c, e->start));
    }
    return view;
}

GridPlace AtTime(const GridContext& c, int row, std::int64_t t)
{
    row = ClampRow(c, row);
    if (c.rows.empty())
        return {};
    return {row, EventAt(c.rows[static_cast<size_t>(row)], t)};
}

// The instant an up or down move keeps: the selected box's visible start.
std::int64_t Anchor(const GridContext& c, const GridState& s)
{
    if (const GuideEntry* e = EventOf(c, s.place))
        return std::max(e->start, s.view.start);
    return std::max(s.view.start, std::min(c.now, s.view.start + VisibleSeconds(c.geometry) - 1));
}

// The local midnight beginning the day of `t`, with the offset in force at that
// midnight (which differs from t's on the day the clocks change).
std::int64_t Midnight(std::int64_t t, const UtcOffsetAt& offsetAt)
{
    const int offset = offsetAt(t);
    const std::int64_t guess = LocalDayStart(t, offset);
    return guess + offset - offsetAt(guess);
}

}  // namespace

int EventAt(const GridRow& row, std::int64_t t)
{
    const auto& events = row.events;
    if (events.empty())
        return -1;
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].start <= t && t < events[i].stop)
            return static_cast<int>(i);
    const auto next = std::partition_point(events.begin(), events.end(), [&](const GuideEntry& e) { return e.start <= t; });
    if (next != events.end())
        return static_cast<int>(next - events.begin());
    return static_cast<int>(events.size()) - 1;
}

GridState StateAtNow(const GridContext& c, int row)
{
    GridState s;
    s.view.start = ClampStart(c, Floor(c, c.now));
    s.place = AtTime(c, row, c.now);
    s.view.firstRow = FirstRowShowing(c, 0, std::max(0, s.place.row));
    return s;
}

GridState Navigate(const GridContext& c, const GridState& state, GridMove move)
{
    if (c.rows.empty())
        return state;
    GridState s = state;
    const int row = ClampRow(c, state.place.row);
    const int count = row >= 0 ? static_cast<int>(c.rows[static_cast<size_t>(row)].events.size()) : 0;
    switch (move) {
    case GridMove::Left:
    case GridMove::Right: {
        if (count == 0)
            return s;
        int e = state.place.event < 0 ? EventAt(c.rows[static_cast<size_t>(row)], s.view.start) : state.place.event;
        if (state.place.event >= 0)
            e += move == GridMove::Right ? 1 : -1;
        s.place = {row, std::clamp(e, 0, count - 1)};
        break;
    }
    case GridMove::Up:
    case GridMove::Down:
        s.place = AtTime(c, row + (move == GridMove::Down ? 1 : -1), Anchor(c, state));
        break;
    case GridMove::PageUp:
    case GridMove::PageDown: {
        const std::int64_t step = move == GridMove::PageDown ? kGridPage : -kGridPage;
        s.view.start = ClampStart(c, state.view.start + step);
        s.place = AtTime(c, row, std::max(s.view.start, std::min(Anchor(c, state) + step, s.view.start + VisibleSeconds(c.geometry) - 1)));
        s.view.firstRow = FirstRowShowing(c, s.view.firstRow, s.place.row);
        return s;
    }
    case GridMove::Home:
        return StateAtNow(c, row);
    }
    s.view = Reveal(c, s.view, s.place);
    return s;
}

std::vector<std::int64_t> GuideDays(std::int64_t now, std::int64_t lastStop, const UtcOffsetAt& offsetAt)
{
    std::vector<std::int64_t> days;
    std::int64_t day = Midnight(now, offsetAt);
    // Eight days are broadcast; a store holding more (a clock gone wrong) adds no
    // buttons past what the window has room for.
    while (days.size() < 9 && (days.empty() || day < lastStop)) {
        days.push_back(day);
        // The next midnight: a day is 23, 24 or 25 hours long across a change of
        // offset, so take the local midnight that follows 26 hours on.
        const std::int64_t later = day + 26 * 3600;
        day = Midnight(later, offsetAt);
    }
    return days;
}

GridState JumpToDay(const GridContext& c, const GridState& state, std::int64_t dayStart)
{
    const int row = ClampRow(c, state.place.row);
    if (dayStart <= c.now && c.now < dayStart + 86400)
        return StateAtNow(c, row);
    const std::int64_t viewDay = Midnight(state.view.start, c.offsetAt);
    GridState s = state;
    s.view.start = ClampStart(c, Floor(c, dayStart + (state.view.start - viewDay)));
    s.place = AtTime(c, row, s.view.start);
    return s;
}

GridState ShowPlace(const GridContext& c, const GridState& state, GridPlace place)
{
    if (!EventOf(c, place))
        return state;
    GridState s = state;
    s.place = place;
    s.view.start = ClampStart(c, Floor(c, EventOf(c, place)->start));
    s.view.firstRow = FirstRowShowing(c, s.view.firstRow, place.row);
    return s;
}
