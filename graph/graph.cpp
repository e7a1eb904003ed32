// Teardown of the capture graph and the build's failure reporter.
#include "graph/graph.h"

#include <qedit.h>

#include "common/error_message.h"
#include "graph/graph_handles.h"
#include "graph/subtitle_path.h"
#include "graph/transport_tap.h"

int ShowFailure(HWND owner, const wchar_t* message)
{
    if (message && *message)
        ShowError(owner, message);
    return 1;
}

void DestroyGraph()
{
    RemoveTransportTap(sampleGrabber.Get());
    if (mediaControl)
        mediaControl->Stop();
    ReleaseSubtitlePath();
    // Released in this order, each only if set.
    mpeg2Data.Reset();
    windowlessControl.Reset();
    graph.Reset();
    videoDecoder.Reset();
    audioDecoder.Reset();
    ac3Decoder.Reset();
    videoPidMap.Reset();
    audioPidMap.Reset();
    ac3PidMap.Reset();
    demuxFilter.Reset();
    vmrFilter.Reset();
    audioRenderer.Reset();
    ac3Renderer.Reset();
    tunerFilter.Reset();
    receiverFilter.Reset();
    signalStatistics.Reset();
    frequencyFilter.Reset();
    deviceControl.Reset();
    sampleGrabber.Reset();
    mediaControl.Reset();
}
