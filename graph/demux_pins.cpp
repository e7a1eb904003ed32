#include "graph/demux_pins.h"

#include <bdaiface.h>
#include <dvdmedia.h>

#include <cstring>

#include "app/shell_state.h"
#include "config/settings.h"
#include "graph/devices.h"
#include "graph/graph.h"
#include "graph/graph_filters.h"
#include "graph/graph_handles.h"

namespace {

// What distinguishes the two audio branches.
struct AudioBranch {
    const wchar_t* pinName;
    GUID subtype;
    const wchar_t* pinFailure;
    const wchar_t* rendererName;
    const wchar_t* rendererFailure;
    const wchar_t* decoderSetting;
    const wchar_t* decoderName;
    ComPtr<IBaseFilter>* renderer;
    ComPtr<IBaseFilter>* decoder;
    ComPtr<IMPEG2PIDMap>* pidMap;
};

void FreeFormat(AM_MEDIA_TYPE& type)
{
    CoTaskMemFree(type.pbFormat);
    type.pbFormat = nullptr;
    type.cbFormat = 0;
}

ComPtr<IPin> CreateOutputPin(IMpeg2Demultiplexer* demux, AM_MEDIA_TYPE& type, const wchar_t* name)
{
    ComPtr<IPin> pin;
    HRESULT hr = demux->CreateOutputPin(&type, const_cast<LPWSTR>(name), pin.Put());
    FreeFormat(type);
    if (FAILED(hr))
        pin.Reset();
    return pin;
}

// The configured decoder between `pin` and `renderer`, or whatever chain the graph
// finds to the renderers already in it. Returns the failure message, "" for a
// silent failure, or nullptr on success.
const wchar_t* ConnectDecoder(IPin* pin, const GUID& major, const GUID& subtype, const wchar_t* setting,
                              const wchar_t* decoderName, ComPtr<IBaseFilter>& decoder, IBaseFilter* renderer,
                              const wchar_t* connectFailure, const wchar_t* renderFailure)
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
    if (FAILED(graph->RenderEx(pin, AM_RENDEREX_RENDERTOEXISTINGRENDERERS, nullptr)))
        return renderFailure;
    return nullptr;
}

void KeepPidMap(IPin* pin, ComPtr<IMPEG2PIDMap>& pidMap)
{
    pin->QueryInterface(IID_IMPEG2PIDMap, pidMap.PutVoid());
}

int RenderVideoPin(IMpeg2Demultiplexer* demux)
{
    AM_MEDIA_TYPE type;
    MakeVideoPinType(type);
    ComPtr<IPin> pin = CreateOutputPin(demux, type, L"video");
    if (!pin)
        return ShowFailure(L"pas cr\u00e9\u00e9 pin video");

    vmrFilter = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_VideoMixingRenderer, L"Mon VMR"));
    if (!vmrFilter)
        return ShowFailure(L"VMR not added");
    {
        ComPtr<IVMRFilterConfig> config;
        if (FAILED(vmrFilter.As(IID_IVMRFilterConfig, config)))
            return ShowFailure(L"VMR config");
        config->SetRenderingMode(VMRMode_Windowless);
    }
    if (FAILED(vmrFilter.As(IID_IVMRWindowlessControl, windowlessControl)))
        return ShowFailure(L"VMR control");
    windowlessControl->SetVideoClippingWindow(mainWindow);
    {
        ComPtr<IVMRAspectRatioControl> aspect;
        if (FAILED(vmrFilter.As(IID_IVMRAspectRatioControl, aspect)))
            return ShowFailure(L"ARC");
        aspect->SetAspectRatioMode(VMR_ARMODE_LETTER_BOX);
    }

    if (const wchar_t* failure = ConnectDecoder(pin.Get(), MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, videoDecoderName,
                                                L"Codec vid\u00e9o", videoDecoder, vmrFilter.Get(),
                                                L"connec Codec vid\u00e9o", L"pas trouv\u00e9 de codec vid\u00e9o"))
        return ShowFailure(failure);
    KeepPidMap(pin.Get(), videoPidMap);
    return 0;
}

int RenderAudioBranch(IMpeg2Demultiplexer* demux, const AudioBranch& branch)
{
    AM_MEDIA_TYPE type;
    MakeAudioPinType(type, branch.subtype);
    ComPtr<IPin> pin = CreateOutputPin(demux, type, branch.pinName);
    if (!pin)
        return ShowFailure(branch.pinFailure);

    *branch.renderer = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_DSoundRender, branch.rendererName));
    if (!*branch.renderer)
        return ShowFailure(branch.rendererFailure);

    if (const wchar_t* failure = ConnectDecoder(pin.Get(), MEDIATYPE_Audio, branch.subtype, branch.decoderSetting,
                                                branch.decoderName, *branch.decoder, branch.renderer->Get(),
                                                L"connec Codec audio", L"pas render son"))
        return ShowFailure(failure);
    KeepPidMap(pin.Get(), *branch.pidMap);
    return 0;
}

int RenderAudioPin(IMpeg2Demultiplexer* demux)
{
    return RenderAudioBranch(demux, {L"son", MEDIASUBTYPE_MPEG2_AUDIO, L"pas cr\u00e9\u00e9 pin son", L"Direct sound",
                                     L"Direct sound not added", audioDecoderName, L"Codec audio", &audioRenderer,
                                     &audioDecoder, &audioPidMap});
}

int RenderAc3Pin(IMpeg2Demultiplexer* demux)
{
    return RenderAudioBranch(demux, {L"ac3", MEDIASUBTYPE_DOLBY_AC3, L"pas cr\u00e9\u00e9 pin ac3",
                                     L"Direct sound le retour", L"Direct sound le retour not added", ac3DecoderName,
                                     L"Codec ac3", &ac3Renderer, &ac3Decoder, &ac3PidMap});
}

int RenderDataPin(IMpeg2Demultiplexer* demux)
{
    AM_MEDIA_TYPE type;
    MakeDataPinType(type);
    ComPtr<IPin> pin = CreateOutputPin(demux, type, L"data");
    if (!pin)
        return ShowFailure(L"pas cr\u00e9\u00e9 pin data");
    ComPtr<IBaseFilter> tables = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_Mpeg2Data, L"MPEG2 data"));
    if (!tables)
        return ShowFailure(L"MPEG2 data not added");
    tables.As(IID_IMpeg2Data, mpeg2Data);
    ComPtr<IPin> input = FindFreePin(tables.Get(), PINDIR_INPUT);
    if (!input || FAILED(graph->ConnectDirect(pin.Get(), input.Get(), nullptr)))
        return 1;
    return 0;
}

}  // namespace

void MakeVideoPinType(AM_MEDIA_TYPE& type)
{
    std::memset(&type, 0, sizeof type);
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_MPEG2_VIDEO;
    type.bFixedSizeSamples = TRUE;
    type.formattype = FORMAT_MPEG2Video;
    auto* info = static_cast<MPEG2VIDEOINFO*>(CoTaskMemAlloc(sizeof(MPEG2VIDEOINFO)));
    std::memset(info, 0, sizeof *info);
    info->hdr.rcSource.right = 720;
    info->hdr.rcSource.bottom = 576;
    info->hdr.dwPictAspectRatioX = 4;
    info->hdr.dwPictAspectRatioY = 3;
    info->hdr.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->hdr.bmiHeader.biWidth = 720;
    info->hdr.bmiHeader.biHeight = 576;
    type.cbFormat = sizeof(MPEG2VIDEOINFO);
    type.pbFormat = reinterpret_cast<BYTE*>(info);
}

void MakeAudioPinType(AM_MEDIA_TYPE& type, const GUID& subtype)
{
    std::memset(&type, 0, sizeof type);
    type.majortype = MEDIATYPE_Audio;
    type.subtype = subtype;
    type.bFixedSizeSamples = TRUE;
    type.formattype = FORMAT_WaveFormatEx;
    auto* wave = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
    wave->wFormatTag = 1;
    wave->nChannels = 2;
    wave->nSamplesPerSec = 48000;
    wave->nAvgBytesPerSec = 192000;
    wave->nBlockAlign = 4;
    wave->wBitsPerSample = 16;
    wave->cbSize = 0;
    type.cbFormat = sizeof(WAVEFORMATEX);
    type.pbFormat = reinterpret_cast<BYTE*>(wave);
}

void MakeDataPinType(AM_MEDIA_TYPE& type)
{
    std::memset(&type, 0, sizeof type);
    type.majortype = MEDIATYPE_MPEG2_SECTIONS;
    type.subtype = MEDIASUBTYPE_MPEG2DATA;
    type.bFixedSizeSamples = TRUE;
    type.formattype = FORMAT_None;
}

int RenderDemuxOutputs()
{
    ComPtr<IMpeg2Demultiplexer> demux;
    if (FAILED(demuxFilter.As(IID_IMpeg2Demultiplexer, demux)))
        return ShowFailure(L"pas eu mpeg2demux");

    struct Branch {
        int (*render)(IMpeg2Demultiplexer*);
        const wchar_t* failure;
    };
    const Branch branches[] = {
        {RenderVideoPin, L"Erreur lors du rendu du pin vid\u00e9o"},
        {RenderAudioPin, L"Erreur lors du rendu du pin son"},
        {RenderAc3Pin, L"Erreur lors du rendu du pin ac3"},
        {RenderDataPin, L"Erreur lors du rendu du pin mpeg2"},
    };
    for (const Branch& branch : branches)
        if (branch.render(demux.Get()) != 0)
            return ShowFailure(branch.failure);
    return 0;
}
