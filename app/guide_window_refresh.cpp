#include "app/guide_window_refresh.h"

#include <optional>
#include <utility>
#include <vector>

#include "guide/grid/grid_refresh.h"
#include "guide/guide_database.h"

void NoteGuideRead(GuideRefresh& refresh) { refresh.generation = GuideGeneration(); }

bool RefreshGuideRows(HWND grid, GuideGridModel& model, GuideRefresh& refresh, std::int64_t now)
{
    // Read before the guide: a change landing in between is read now and again
    // at the next tick, never missed.
    const std::uint64_t generation = GuideGeneration();
    if (generation == refresh.generation)
        return false;
    refresh.generation = generation;

    std::vector<GridRow> rows = model.rows;
    FillRows(rows, TheGuide().AllEvents());
    if (SameSchedule(rows, model.rows))
        return false;
    std::optional<GuideEntry> selected;
    if (const GuideEntry* e = model.Selected())
        selected = *e;
    model.rows = std::move(rows);
    model.now = now;
    model.state = KeepPlace(model.Context(), model.state, selected);
    GuideGridChanged(grid);
    return true;
}
