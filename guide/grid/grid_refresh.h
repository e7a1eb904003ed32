#pragma once
// The grid taking new schedule while it is open: the rows get their services'
// events again, and the user keeps the programme selected and the part of the
// schedule in view.
#include <optional>
#include <vector>

#include "guide/grid/grid_navigation.h"

// Whether two sets of rows show the same programmes (nothing to redraw).
bool SameSchedule(const std::vector<GridRow>& a, const std::vector<GridRow>& b);

// The state after `rows` took new events, from the state before and the
// programme selected then (none when the row had none). The view stays where it
// was; the selection stays on the same row, on the same programme (same
// event_id and start, else same event_id moved, else the one now on the air at
// its start). Without a programme selected before (the grid opened before the
// schedule came), the grid goes to now on the same row, as on opening.
GridState KeepPlace(const GridContext& c, const GridState& before, const std::optional<GuideEntry>& selected);
