// Construction of the capture graph.
#include "graph/graph.h"

#include <bdaiface.h>
#include <qedit.h>

#include "common/error_message.h"
#include "graph/bda_topology.h"
#include "graph/demux_pins.h"
#include "graph/devices.h"
#include "graph/filterbase/network_provider.h"
#include "graph/graph_filters.h"
#include "graph/graph_handles.h"
#include "graph/media_framework.h"
#include "graph/subtitle_path.h"
#include "graph/transport_tap.h"

namespace {

// The Sample Grabber is deprecated and may be missing from a Windows installation
// (it lives in qedit.dll); without it the stream can be neither played nor recorded.
const wchar_t kNoSampleGrabber[] =
    L"Le composant DirectShow \u00ab Sample Grabber \u00bb (qedit.dll) n'est pas install\u00e9 : "
    L"la t\u00e9l\u00e9vision ne peut pas \u00eatre lue. R\u00e9installez-le ou installez un pack de codecs qui le fournit.";
const wchar_t kNoDemultiplexer[] =
    L"Le d\u00e9multiplexeur MPEG-2 de DirectShow n'est pas install\u00e9 : la t\u00e9l\u00e9vision ne peut pas \u00eatre lue.";

// Keeps the interface `iid` of the device's control node between `pins`.
template <class T>
void FindNodeInterface(IBaseFilter* device, const TopologyPins& pins, const IID& iid, ComPtr<T>& out)
{
    out = ComPtr<T>::Adopt(static_cast<T*>(FindControlNode(device, pins, iid).Detach()));
}

void FindTuningInterfaces(IBaseFilter* tuner, const TopologyPins& pins, HWND window)
{
    if (FAILED(tuner->QueryInterface(IID_IBDA_DeviceControl, deviceControl.PutVoid()))) {
        ShowError(window, L"IBDA_DeviceControl");
        return;
    }
    FindNodeInterface(tuner, pins, IID_IBDA_FrequencyFilter, frequencyFilter);
}

IBaseFilter* Refuse(HWND window, const wchar_t* message)
{
    ShowError(window, message);
    return nullptr;
}

// Adds the tuner (and the receiver of a two-filter device) and connects the
// provider to it. Returns the last device filter (borrowed), null after a failure.
IBaseFilter* AddDevices(IBaseFilter* provider, HWND window)
{
    // A real BDA driver may show its transport output only once asked for it; the
    // receiver of a two-filter device is made ready the same way.
    if (receiverFilter)
        PrepareTopology(receiverFilter.Get());
    switch (ClassifyTransportOutput(tunerFilter.Get())) {
    case TransportOutputKind::Mpeg2Transport:
        if (FAILED(graph->AddFilter(tunerFilter.Get(), L"Network Tuner")))
            return Refuse(window, L"Tuner pas ins\u00e9r\u00e9");
        if (!receiverFilter || FAILED(graph->AddFilter(receiverFilter.Get(), L"Receiver Component")))
            return Refuse(window, L"R\u00e9cepteur pas ins\u00e9r\u00e9");
        if (FAILED(ConnectFilters(provider, tunerFilter.Get())))
            return Refuse(window, L"Tuner TNT non compatible, veuillez effacer config.ini et red\u00e9marrer");
        if (FAILED(ConnectFilters(tunerFilter.Get(), receiverFilter.Get())))
            return Refuse(window, L"R\u00e9cepteur TNT non compatible, veuillez effacer config.ini et red\u00e9marrer");
        return receiverFilter.Get();
    case TransportOutputKind::BdaTransport:
        if (FAILED(graph->AddFilter(tunerFilter.Get(), L"Cl\u00e9 USB")))
            return Refuse(window, L"Cl\u00e9 USB pas ins\u00e9r\u00e9");
        if (FAILED(ConnectFilters(provider, tunerFilter.Get())))
            return Refuse(window, L"Tuner USB non compatible, veuillez effacer config.ini et red\u00e9marrer");
        return tunerFilter.Get();
    default:
        return nullptr;  // no transport output: no message
    }
}

}  // namespace

int BuildGraph(HWND window)
{
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph2,
                                graph.PutVoid())))
        return ShowFailure(window, L"Pas r\u00e9ussi \u00e0 cr\u00e9er le graph DirectShow !");

    // The graph holds the provider's only reference once it is added.
    ComPtr<IBaseFilter> provider = ComPtr<IBaseFilter>::Share(new CNetworkProvider());
    if (FAILED(graph->AddFilter(provider.Get(), L"Fake")))
        return ShowFailure(window, L"ajout du network provider rat\u00e9e !!!");

    // The output pin is made before the tuner is classified by what it offers:
    // DetectTuner did it already, unless the tuner came another way.
    const TopologyPins tunerPins = tunerTopology ? *tunerTopology : PrepareTopology(tunerFilter.Get());
    // An extra reference on the last device filter for the rest of the build.
    ComPtr<IBaseFilter> lastDevice = ComPtr<IBaseFilter>::Share(AddDevices(provider.Get(), window));
    provider.Reset();
    if (!lastDevice)
        return 1;

    FindTuningInterfaces(tunerFilter.Get(), tunerPins, window);
    if (!frequencyFilter)
        return ShowFailure(window, L"Pas trouv\u00e9 l'interface pour changer de fr\u00e9quence");
    FindNodeInterface(tunerFilter.Get(), tunerPins, IID_IBDA_SignalStatistics, signalStatistics);
    if (!signalStatistics)
        return ShowFailure(window, L"Pas trouv\u00e9 l'interface pour avoir la qualit\u00e9 du signal");

    ComPtr<IBaseFilter> grabber = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_SampleGrabber, L"Grabber"));
    if (!grabber)
        return ShowFailure(window, kNoSampleGrabber);
    if (FAILED(ConnectFilters(lastDevice.Get(), grabber.Get())))
        return ShowFailure(window, L"Pas connect\u00e9 le grabber \u00e0 la carte TNT, veuillez effacer config.ini et red\u00e9marrer\n");
    grabber.As(IID_ISampleGrabber, sampleGrabber);
    InstallTransportTap(sampleGrabber.Get());

    demuxFilter = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_MPEG2Demultiplexer, L"Demux"));
    if (!demuxFilter)
        return ShowFailure(window, kNoDemultiplexer);
    if (FAILED(ConnectFilters(grabber.Get(), demuxFilter.Get())))
        return ShowFailure(window, L"Pas connect\u00e9 le grabber au demux, veuillez effacer config.ini et red\u00e9marrer\n");
    grabber.Reset();
    lastDevice.Reset();

    // A failed branch has shown its messages; the rest of the graph still runs.
    RenderDemuxOutputs(window);
    BuildSubtitlePath(demuxFilter.Get(), vmrFilter.Get());

    if (FAILED(graph.As(IID_IMediaControl, mediaControl)))
        return 1;
    mediaControl->Run();
    return 0;
}
