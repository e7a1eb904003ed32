#pragma once
// "Guide complet" taking the schedule that arrives while it is open: a timer
// looks, once a second, whether the guide changed since the rows were filled,
// and only then reads it again; the rows are redrawn only when what they show
// changed, keeping the selected programme and the view.
#include <windows.h>

#include <cstdint>

#include "app/guide_grid_control.h"

// Numbered apart from the window's other timers.
constexpr UINT_PTR TIMER_GUIDE_REFRESH = 1060;
constexpr UINT kGuideRefreshPeriodMs = 1000;

// What the window last read of the guide.
struct GuideRefresh {
    std::uint64_t generation = 0;
};

// Notes the guide's state as the rows were just filled from it.
void NoteGuideRead(GuideRefresh& refresh);

// On the refresh timer: reads the guide again when it changed and gives `model`
// the new rows, the selection kept (`now` for a row that had none). True when
// the rows changed (`grid` is then redrawn and told its selection changed).
bool RefreshGuideRows(HWND grid, GuideGridModel& model, GuideRefresh& refresh, std::int64_t now);
