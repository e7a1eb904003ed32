#pragma once
// The guide grid's geometry: channels down the left, time across in half-hour
// marks, one box per programme clipped to the view. Pixels and seconds only, so
// that the window's painting and its tests share one set of rules.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "guide/grid/grid_time.h"
#include "guide/schedule/guide_entry.h"

// One line of the grid: a channel of the list, in the list's order.
struct GridRow {
    int channel = -1;          // position in the channel list
    std::int32_t number = 0;   // logical channel number, 0 = none
    std::string name;          // UTF-8, as the channel menu shows it
    ServiceKey key;
    std::vector<GuideEntry> events;  // by start
};

// Gives every row the events of its service (the triplet: the service id alone
// repeats across multiplexes). `events` may come in any order.
void FillRows(std::vector<GridRow>& rows, const std::vector<GuideEntry>& events);

struct GridGeometry {
    int width = 0;  // client area, pixels
    int height = 0;
    int nameWidth = 170;  // the channel column
    int headerHeight = 22;
    int rowHeight = 30;
    int halfHourWidth = 120;
};

// What is shown: the instant at the left edge of the programmes and the first row.
struct GridView {
    std::int64_t start = 0;
    int firstRow = 0;
};

int VisibleRows(const GridGeometry& g);  // rows that show at least in part
std::int64_t VisibleSeconds(const GridGeometry& g);
int XAt(const GridGeometry& g, const GridView& view, std::int64_t t);

struct GridRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const GridRect&, const GridRect&) = default;
};

struct GridBox {
    int row = 0;
    int event = 0;  // index in the row's events
    GridRect rect;
    bool current = false;       // on the air at `now`
    bool startsBefore = false;  // cut by the left edge
};

// The boxes of the visible rows' programmes that reach into the view, clipped to
// it; boxes too narrow to show are left out.
std::vector<GridBox> LayOutBoxes(const std::vector<GridRow>& rows, const GridGeometry& g, const GridView& view,
                                 std::int64_t now);

struct GridMark {
    int x = 0;
    std::string label;  // local "HH:MM"
};
// The half-hour marks of the time bar, local time.
std::vector<GridMark> HalfHourMarks(const GridGeometry& g, const GridView& view, const UtcOffsetAt& offsetAt);

// Where the line at now is drawn; nothing when now is out of view.
std::optional<int> NowLine(const GridGeometry& g, const GridView& view, std::int64_t now);

struct GridPlace {
    int row = -1;
    int event = -1;  // -1: the row is chosen but holds no programme there
    friend bool operator==(const GridPlace&, const GridPlace&) = default;
};

// The programme under a click; nothing outside every box.
std::optional<GridPlace> HitTest(const std::vector<GridBox>& boxes, int x, int y);
