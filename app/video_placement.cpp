#include "app/video_placement.h"

#include <windows.h>

#include "app/playback_bar.h"
#include "app/shell_state.h"
#include "graph/graph_handles.h"

void PlaceVideo()
{
    RECT client{};
    GetClientRect(mainWindow, &client);
    if (statusBar) {
        RECT bar{};
        GetWindowRect(statusBar, &bar);
        client.bottom -= bar.bottom - bar.top;
    }
    // The playback bar, while shown, takes its room below the picture.
    LayoutPlaybackBar(client);
    client.bottom -= PlaybackBarHeight();
    if (!windowlessControl)
        return;
    RECT destination{0, 0, client.right, client.bottom};
    windowlessControl->SetVideoPosition(nullptr, &destination);
}
