#include "graph/graph_filters.h"

#include "common/com_ptr.h"
#include "graph/devices.h"
#include "graph/graph_handles.h"

IBaseFilter* CreateFilter(const CLSID& clsid, const wchar_t* name)
{
    ComPtr<IBaseFilter> filter;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.PutVoid())))
        return nullptr;
    if (FAILED(graph->AddFilter(filter.Get(), name)))
        return nullptr;
    return filter.Detach();
}

HRESULT ConnectFilters(IBaseFilter* upstream, IBaseFilter* downstream)
{
    ComPtr<IPin> output = FindFreePin(upstream, PINDIR_OUTPUT);
    ComPtr<IPin> input = FindFreePin(downstream, PINDIR_INPUT);
    if (!output || !input)
        return VFW_E_NOT_FOUND;
    return graph->ConnectDirect(output.Get(), input.Get(), nullptr);
}
