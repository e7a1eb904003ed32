#include "graph/decoder_connection.h"

#include "graph/devices.h"
#include "graph/graph_filters.h"
#include "graph/graph_handles.h"

const wchar_t* ConnectDecoder(IPin* pin, const GUID& major, const GUID& subtype, const wchar_t* setting,
                              const wchar_t* decoderName, ComPtr<IBaseFilter>& decoder, IBaseFilter* renderer,
                              const wchar_t* connectFailure, const wchar_t* renderFailure, bool onlyThisRenderer)
{
    decoder = FindDecoderByName(major, subtype, setting);
    if (decoder) {
        if (FAILED(graph->AddFilter(decoder.Get(), decoderName)))
            return L"";
        ComPtr<IPin> input = FindFreePin(decoder.Get(), PINDIR_INPUT);
        if (!input || FAILED(graph->ConnectDirect(pin, input.Get(), nullptr)))
            return L"";
        if (FAILED(ConnectFilters(decoder.Get(), renderer)))
            return connectFailure;
        return nullptr;
    }
    if (onlyThisRenderer) {
        // Intelligent connection to that renderer's input: the graph finds the
        // decoder in between.
        ComPtr<IPin> input = FindFreePin(renderer, PINDIR_INPUT);
        if (!input || FAILED(graph->Connect(pin, input.Get())))
            return renderFailure;
        return nullptr;
    }
    if (FAILED(graph->RenderEx(pin, AM_RENDEREX_RENDERTOEXISTINGRENDERERS, nullptr)))
        return renderFailure;
    return nullptr;
}
