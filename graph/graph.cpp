// Teardown of the capture graph and the one error-message operation.
#include "graph/graph.h"

#include <qedit.h>

#include "app/shell_state.h"
#include "config/settings.h"
#include "graph/graph_handles.h"

void ShowError(const wchar_t* text)
{
    // No caption of our own: the platform's default one.
    MessageBoxW(mainWindow, text, nullptr, MB_OK | MB_ICONERROR);
}

int ShowFailure(const wchar_t* message)
{
    if (message && *message)
        ShowError(message);
    return 1;
}

void DestroyGraph()
{
    SaveSettings();
    if (sampleGrabber)
        sampleGrabber->SetCallback(nullptr, 0);
    if (mediaControl)
        mediaControl->Stop();
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
