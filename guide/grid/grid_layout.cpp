#include "guide/grid/grid_layout.h"

#include <algorithm>
#include <map>

namespace {

// The store keeps no event longer than a day: a programme that started earlier
// cannot reach into the view.
constexpr std::int64_t kLongestEvent = 86400;

}  // namespace

void FillRows(std::vector<GridRow>& rows, const std::vector<GuideEntry>& events)
{
    std::map<ServiceKey, std::vector<GridRow*>> byKey;
    for (GridRow& row : rows) {
        row.events.clear();
        byKey[row.key].push_back(&row);
    }
    for (const GuideEntry& e : events) {
        const auto found = byKey.find(e.service);
        if (found == byKey.end())
            continue;
        for (GridRow* row : found->second)
            row->events.push_back(e);
    }
    for (GridRow& row : rows)
        std::stable_sort(row.events.begin(), row.events.end(),
                         [](const GuideEntry& a, const GuideEntry& b) { return a.start < b.start; });
}

int VisibleRows(const GridGeometry& g)
{
    const int area = g.height - g.headerHeight;
    if (area <= 0 || g.rowHeight <= 0)
        return 0;
    return (area + g.rowHeight - 1) / g.rowHeight;
}

std::int64_t VisibleSeconds(const GridGeometry& g)
{
    const int area = g.width - g.nameWidth;
    if (area <= 0 || g.halfHourWidth <= 0)
        return 0;
    return static_cast<std::int64_t>(area) * 1800 / g.halfHourWidth;
}

int XAt(const GridGeometry& g, const GridView& view, std::int64_t t)
{
    // Far instants are held to a few screens away so that the pixel stays an int.
    const std::int64_t limit = 4 * (VisibleSeconds(g) + 1800);
    const std::int64_t offset = std::clamp(t - view.start, -limit, limit);
    return g.nameWidth + static_cast<int>(offset * g.halfHourWidth / 1800);
}

std::vector<GridBox> LayOutBoxes(const std::vector<GridRow>& rows, const GridGeometry& g, const GridView& view,
                                 std::int64_t now)
{
    std::vector<GridBox> boxes;
    const std::int64_t viewEnd = view.start + VisibleSeconds(g);
    const int first = std::max(0, view.firstRow);
    const int last = std::min(static_cast<int>(rows.size()), first + VisibleRows(g));
    for (int r = first; r < last; ++r) {
        const std::vector<GuideEntry>& events = rows[static_cast<size_t>(r)].events;
        const auto from = std::partition_point(events.begin(), events.end(), [&](const GuideEntry& e) {
            return e.start < view.start - kLongestEvent;
        });
        const int top = g.headerHeight + (r - first) * g.rowHeight;
        for (auto e = from; e != events.end() && e->start < viewEnd; ++e) {
            if (e->stop <= view.start)
                continue;
            GridBox box;
            box.row = r;
            box.event = static_cast<int>(e - events.begin());
            box.rect = {std::max(g.nameWidth, XAt(g, view, e->start)), top, std::min(g.width, XAt(g, view, e->stop)),
                        top + g.rowHeight};
            if (box.rect.right - box.rect.left < 2)
                continue;
            box.current = e->start <= now && now < e->stop;
            box.startsBefore = e->start < view.start;
            boxes.push_back(box);
        }
    }
    return boxes;
}

std::vector<GridMark> HalfHourMarks(const GridGeometry& g, const GridView& view, const UtcOffsetAt& offsetAt)
{
    std::vector<GridMark> marks;
    const std::int64_t end = view.start + VisibleSeconds(g);
    std::int64_t t = FloorHalfHour(view.start, offsetAt(view.start));
    if (t < view.start)
        t += 1800;
    for (; t < end; t += 1800)
        marks.push_back({XAt(g, view, t), ClockText(LocalDateOf(t, offsetAt(t)))});
    return marks;
}

std::optional<int> NowLine(const GridGeometry& g, const GridView& view, std::int64_t now)
{
    if (now < view.start || now >= view.start + VisibleSeconds(g))
        return std::nullopt;
    return XAt(g, view, now);
}

std::optional<GridPlace> HitTest(const std::vector<GridBox>& boxes, int x, int y)
{
    for (const GridBox& b : boxes)
        if (x >= b.rect.left && x < b.rect.right && y >= b.rect.top && y < b.rect.bottom)
            return GridPlace{b.row, b.event};
    return std::nullopt;
}
