// Construction of the capture graph.
#include "graph/graph.h"

#include <bdaiface.h>
#include <qedit.h>

#include "common/error_message.h"
#include "graph/demux_pins.h"
#include "graph/devices.h"
#include "graph/filterbase/network_provider.h"
#include "graph/graph_filters.h"
#include "graph/graph_handles.h"
#include "graph/media_framework.h"
#include "graph/transport_tap.h"

namespace {

constexpr ULONG kMaxNodeTypes = 32;
constexpr ULONG kMaxNodeInterfaces = 32;

// Looks through the tuner's topology for the first node type that offers `iid`,
// and keeps that interface of the control node between pin ids 0 and 1.
template <class T>
void FindNodeInterface(IBaseFilter* tuner, const IID& iid, ComPtr<T>& out)
{
    ComPtr<IBDA_Topology> topology;
    if (FAILED(tuner->QueryInterface(IID_IBDA_Topology, topology.PutVoid())))
        return;
    ULONG nodeTypeCount = 0;
    ULONG nodeTypes[kMaxNodeTypes] = {};
    if (topology->GetNodeTypes(&nodeTypeCount, kMaxNodeTypes, nodeTypes) != S_OK)
        return;
    for (ULONG t = 0; t < nodeTypeCount && t < kMaxNodeTypes && !out; ++t) {
        ULONG interfaceCount = 0;
        GUID interfaces[kMaxNodeInterfaces] = {};
        if (topology->GetNodeInterfaces(nodeTypes[t], &interfaceCount, kMaxNodeInterfaces, interfaces) != S_OK)
            continue;
        bool offered = false;
        for (ULONG i = 0; i < interfaceCount && i < kMaxNodeInterfaces; ++i)
            offered = offered || IsEqualGUID(interfaces[i], iid);
        if (!offered)
            continue;
        ComPtr<IUnknown> node;
        if (SUCCEEDED(topology->GetControlNode(0, 1, nodeTypes[t], node.Put())) && node)
            node->QueryInterface(iid, out.PutVoid());
    }
}

void FindTuningInterfaces(IBaseFilter* tuner, HWND window)
{
    if (FAILED(tuner->QueryInterface(IID_IBDA_DeviceControl, deviceControl.PutVoid()))) {
        ShowError(window, L"IBDA_DeviceControl");
        return;
    }
    FindNodeInterface(tuner, IID_IBDA_FrequencyFilter, frequencyFilter);
}

void FindSignalStatistics(IBaseFilter* tuner)
{
    FindNodeInterface(tuner, IID_IBDA_SignalStatistics, signalStatistics);
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

    // An extra reference on the last device filter for the rest of the build.
    ComPtr<IBaseFilter> lastDevice = ComPtr<IBaseFilter>::Share(AddDevices(provider.Get(), window));
    provider.Reset();
    if (!lastDevice)
        return 1;

    FindTuningInterfaces(tunerFilter.Get(), window);
    if (!frequencyFilter)
        return ShowFailure(window, L"Pas trouv\u00e9 l'interface pour changer de fr\u00e9quence");
    FindSignalStatistics(tunerFilter.Get());
    if (!signalStatistics)
        return ShowFailure(window, L"Pas trouv\u00e9 l'interface pour avoir la qualit\u00e9 du signal");

    ComPtr<IBaseFilter> grabber = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_SampleGrabber, L"Grabber"));
    if (!grabber)
        return 1;
    if (FAILED(ConnectFilters(lastDevice.Get(), grabber.Get())))
        return ShowFailure(window, L"Pas connect\u00e9 le grabber \u00e0 la carte TNT, veuillez effacer config.ini et red\u00e9marrer\n");
    grabber.As(IID_ISampleGrabber, sampleGrabber);
    InstallTransportTap(sampleGrabber.Get());

    demuxFilter = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_MPEG2Demultiplexer, L"Demux"));
    if (!demuxFilter)
        return 1;
    if (FAILED(ConnectFilters(grabber.Get(), demuxFilter.Get())))
        return ShowFailure(window, L"Pas connect\u00e9 le grabber au demux, veuillez effacer config.ini et red\u00e9marrer\n");
    grabber.Reset();
    lastDevice.Reset();

    // A failed branch has shown its messages; the rest of the graph still runs.
    RenderDemuxOutputs(window);

    if (FAILED(graph.As(IID_IMediaControl, mediaControl)))
        return 1;
    mediaControl->Run();
    return 0;
}
