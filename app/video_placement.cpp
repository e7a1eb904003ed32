#include "app/video_placement.h"

#include <windows.h>

#include "app/playback_bar.h"
#include "app/playback_cover.h"
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
    RECT destination{0, 0, client.right, client.bottom};
    LayoutPlaybackCover(destination);
    if (!windowlessControl)
        return;
    windowlessControl->SetVideoPosition(nullptr, &destination);
}
