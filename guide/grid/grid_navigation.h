#pragma once
// Moving through the guide grid with the keyboard, and which part of the
// schedule is in view: the rules behind the arrows, Page Up/Page Down, Home and
// the day buttons.
#include <cstdint>
#include <vector>

#include "guide/grid/grid_layout.h"

struct GridState {
    GridView view;
    GridPlace place;
};

enum class GridMove { Left, Right, Up, Down, PageUp, PageDown, Home };

// Page Up/Page Down move the view by this much.
constexpr std::int64_t kGridPage = 3 * 3600;

struct GridContext {
    const std::vector<GridRow>& rows;
    GridGeometry geometry;
    std::int64_t now = 0;
    UtcOffsetAt offsetAt;
};

// The programme of `row` on the air at `t`, else the next one after it, else the
// last one before it; -1 for a row without programmes.
int EventAt(const GridRow& row, std::int64_t t);

// The view and selection on opening, and after Home: now on the left, the
// current programme of the row chosen (the channel watched) selected.
GridState StateAtNow(const GridContext& c, int row);

GridState Navigate(const GridContext& c, const GridState& state, GridMove move);

// The local days from today to the last one the guide holds: the instant of
// each midnight (today's is before now).
std::vector<std::int64_t> GuideDays(std::int64_t now, std::int64_t lastStop, const UtcOffsetAt& offsetAt);

// The view on the day starting at `dayStart`, at the clock time the view shows
// now; today's day goes back to now.
GridState JumpToDay(const GridContext& c, const GridState& state, std::int64_t dayStart);

// The view moved so that programme `place` shows, and selected (a search's choice).
GridState ShowPlace(const GridContext& c, const GridState& state, GridPlace place);
