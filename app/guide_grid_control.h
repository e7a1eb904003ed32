#pragma once
// The grid of the "Guide complet" window: a control of its own, class
// "BrisomeGuideGrid", that draws the rows of the guide and moves through them
// with the keyboard and the mouse. It tells its dialog through WM_COMMAND with
// the notifications below.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "guide/grid/grid_navigation.h"

constexpr wchar_t kGuideGridClass[] = L"BrisomeGuideGrid";

// Sent to the parent with the control's id: the selection changed, the user
// asked (Enter, double click) to watch the selected programme, or (R) to set
// or remove its recording. A right click selects the programme under the
// cursor before the parent gets WM_CONTEXTMENU.
constexpr WORD GRIDN_SELECTED = 1;
constexpr WORD GRIDN_WATCH = 2;
constexpr WORD GRIDN_RECORD = 3;

// What the grid shows, owned by the dialog; the control keeps a pointer.
struct GuideGridModel {
    std::vector<GridRow> rows;
    GridState state;
    GridGeometry geometry;
    std::int64_t now = 0;
    UtcOffsetAt offsetAt;

    GridContext Context() const { return GridContext{rows, geometry, now, offsetAt}; }
    const GuideEntry* Selected() const;
};

bool RegisterGuideGridClass(HINSTANCE instance);

// Gives the control its model (nullptr to detach it) and redraws it.
void SetGuideGridModel(HWND grid, GuideGridModel* model);
// The model changed from outside (a day button, a search choice): redraw and notify.
void GuideGridChanged(HWND grid);
