#include "app/video_placement.h"

#include <windows.h>

#include "app/shell_state.h"
#include "graph/graph_handles.h"

void PlaceVideo()
{
    if (!windowlessControl)
        return;
    RECT client{};
    GetClientRect(mainWindow, &client);
    if (statusBar) {
        RECT bar{};
        GetWindowRect(statusBar, &bar);
        client.bottom -= bar.bottom - bar.top;
    }
    RECT destination{0, 0, client.right, client.bottom};
    windowlessControl->SetVideoPosition(nullptr, &destination);
}
