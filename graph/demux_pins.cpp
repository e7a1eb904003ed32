#include "graph/demux_pins.h"

#include <bdaiface.h>
#include <dvdmedia.h>

#include <cstring>
#include <string>

#include "config/settings.h"
#include "graph/codec_pins.h"
#include "graph/decoder_connection.h"
#include "graph/devices.h"
#include "graph/filterbase/media_type.h"
#include "graph/graph.h"
#include "graph/graph_filters.h"
#include "graph/graph_handles.h"
#include "graph/pin_decoders.h"
#include "graph/pin_types.h"

const wchar_t kNoDecoderFound[] = L"pas trouv\u00e9 de codec";

namespace {

// How one branch ended. A missing decoder costs only that branch's stream: its pin
// and PID map stay, so the rest of the graph runs and a channel of another codec can
// still give the pin a decoder.
enum class BranchResult { Built, DecoderMissing, Failed };

BranchResult Fail(HWND window, const wchar_t* message)
{
    ShowFailure(window, message);
    return BranchResult::Failed;
}

// What distinguishes the two audio branches.
struct AudioBranch {
    PlayingPin role;
    HRESULT (*makeType)(AM_MEDIA_TYPE&);
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

// Creates the pin, then frees the type's format block, whether or not it was created.
ComPtr<IPin> CreateOutputPin(IMpeg2Demultiplexer* demux, AM_MEDIA_TYPE& type, const wchar_t* name)
{
    ComPtr<IPin> pin;
    HRESULT hr = demux->CreateOutputPin(&type, const_cast<LPWSTR>(name), pin.Put());
    FreeMediaType(type);
    if (FAILED(hr))
        pin.Reset();
    return pin;
}

void KeepPidMap(IPin* pin, ComPtr<IMPEG2PIDMap>& pidMap)
{
    pin->QueryInterface(IID_IMPEG2PIDMap, pidMap.PutVoid());
}

// The decoder's connection ends the branch: kNoDecoderFound (no decoder takes the
// pin's type) keeps the pin for later and is reported with the others by the caller.
BranchResult ConnectBranchDecoder(HWND window, IPin* pin, PlayingPin role, ComPtr<IMPEG2PIDMap>& pidMap,
                                  const wchar_t* failure)
{
    if (failure && failure != kNoDecoderFound)
        return Fail(window, failure);
    KeepPidMap(pin, pidMap);
    MarkPinDecoded(role, failure == nullptr);
    return failure ? BranchResult::DecoderMissing : BranchResult::Built;
}

BranchResult RenderVideoPin(IMpeg2Demultiplexer* demux, HWND window)
{
    AM_MEDIA_TYPE type;
    ComPtr<IPin> pin;
    if (SUCCEEDED(MakeVideoPinType(type)))
        pin = CreateOutputPin(demux, type, L"video");
    SetCodecMessageOwner(window);
    if (!pin)
        return Fail(window, L"pas cr\u00e9\u00e9 pin video");

    vmrFilter = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_VideoMixingRenderer, L"Mon VMR"));
    if (!vmrFilter)
        return Fail(window, L"VMR not added");
    {
        ComPtr<IVMRFilterConfig> config;
        if (FAILED(vmrFilter.As(IID_IVMRFilterConfig, config)))
            return Fail(window, L"VMR config");
        config->SetRenderingMode(VMRMode_Windowless);
        // The mixer blends the subtitles over the picture (IVMRMixerBitmap); it
        // is loaded only when asked, before the input is connected. Without it
        // the picture plays and subtitles say they cannot be shown.
        config->SetNumberOfStreams(1);
    }
    if (FAILED(vmrFilter.As(IID_IVMRWindowlessControl, windowlessControl)))
        return Fail(window, L"VMR control");
    windowlessControl->SetVideoClippingWindow(window);
    {
        ComPtr<IVMRAspectRatioControl> aspect;
        if (FAILED(vmrFilter.As(IID_IVMRAspectRatioControl, aspect)))
            return Fail(window, L"ARC");
        aspect->SetAspectRatioMode(VMR_ARMODE_LETTER_BOX);
    }

    const wchar_t* failure = ConnectDecoder(pin.Get(), MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, videoDecoderName,
                                            L"Codec vid\u00e9o", videoDecoder, vmrFilter.Get(),
                                            L"connec Codec vid\u00e9o", kNoDecoderFound);
    return ConnectBranchDecoder(window, pin.Get(), PlayingPin::Video, videoPidMap, failure);
}

BranchResult RenderAudioBranch(IMpeg2Demultiplexer* demux, HWND window, const AudioBranch& branch)
{
    AM_MEDIA_TYPE type;
    ComPtr<IPin> pin;
    if (SUCCEEDED(branch.makeType(type)))
        pin = CreateOutputPin(demux, type, branch.pinName);
    if (!pin)
        return Fail(window, branch.pinFailure);

    *branch.renderer = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_DSoundRender, branch.rendererName));
    if (!*branch.renderer)
        return Fail(window, branch.rendererFailure);

    const wchar_t* failure = ConnectDecoder(pin.Get(), MEDIATYPE_Audio, branch.subtype, branch.decoderSetting,
                                            branch.decoderName, *branch.decoder, branch.renderer->Get(),
                                            L"connec Codec audio", kNoDecoderFound);
    return ConnectBranchDecoder(window, pin.Get(), branch.role, *branch.pidMap, failure);
}

HRESULT MakeMpegAudioPinType(AM_MEDIA_TYPE& type)
{
    return MakeAudioPinType(type, MEDIASUBTYPE_MPEG2_AUDIO);
}

BranchResult RenderAudioPin(IMpeg2Demultiplexer* demux, HWND window)
{
    return RenderAudioBranch(demux, window,
                             {PlayingPin::Audio, MakeMpegAudioPinType, L"son", MEDIASUBTYPE_MPEG2_AUDIO, L"pas cr\u00e9\u00e9 pin son", L"Direct sound",
                              L"Direct sound not added", audioDecoderName, L"Codec audio", &audioRenderer,
                              &audioDecoder, &audioPidMap});
}

BranchResult RenderAc3Pin(IMpeg2Demultiplexer* demux, HWND window)
{
    return RenderAudioBranch(demux, window,
                             {PlayingPin::Ac3, MakeAc3PinType, L"ac3", MEDIASUBTYPE_DOLBY_AC3, L"pas cr\u00e9\u00e9 pin ac3", L"Direct sound le retour",
                              L"Direct sound le retour not added", ac3DecoderName, L"Codec ac3", &ac3Renderer,
                              &ac3Decoder, &ac3PidMap});
}

BranchResult RenderDataPin(IMpeg2Demultiplexer* demux, HWND window)
{
    AM_MEDIA_TYPE type;
    MakeDataPinType(type);
    ComPtr<IPin> pin = CreateOutputPin(demux, type, L"data");
    if (!pin)
        return Fail(window, L"pas cr\u00e9\u00e9 pin data");
    ComPtr<IBaseFilter> tables = ComPtr<IBaseFilter>::Adopt(CreateFilter(CLSID_Mpeg2Data, L"MPEG2 data"));
    // The sections-and-tables filter is not shipped since Windows 7: without it the
    // scan and the guide read their tables from the transport-stream tap, and the
    // data pin stays unconnected.
    if (!tables)
        return BranchResult::Built;
    tables.As(IID_IMpeg2Data, mpeg2Data);
    ComPtr<IPin> input = FindFreePin(tables.Get(), PINDIR_INPUT);
    if (!input || FAILED(graph->ConnectDirect(pin.Get(), input.Get(), nullptr)))
        return Fail(window, L"");
    return BranchResult::Built;
}

}  // namespace

int RenderDemuxOutputs(HWND window)
{
    ComPtr<IMpeg2Demultiplexer> demux;
    if (FAILED(demuxFilter.As(IID_IMpeg2Demultiplexer, demux)))
        return ShowFailure(window, L"pas eu mpeg2demux");

    struct Branch {
        BranchResult (*render)(IMpeg2Demultiplexer*, HWND);
        const wchar_t* failure;
        PlayingPin role;  // for the missing-decoder line (the data pin has no decoder)
    };
    const Branch branches[] = {
        {RenderVideoPin, L"Erreur lors du rendu du pin vid\u00e9o", PlayingPin::Video},
        {RenderAudioPin, L"Erreur lors du rendu du pin son", PlayingPin::Audio},
        {RenderAc3Pin, L"Erreur lors du rendu du pin ac3", PlayingPin::Ac3},
        {RenderDataPin, L"Erreur lors du rendu du pin mpeg2", PlayingPin::Video},
    };
    // Every branch is tried: the data pin (the scan, the guide) and the other sound
    // do not depend on one decoder being installed.
    int result = 0;
    std::wstring missing;
    for (const Branch& branch : branches) {
        switch (branch.render(demux.Get(), window)) {
        case BranchResult::Built: break;
        case BranchResult::DecoderMissing:
            missing += (missing.empty() ? L"" : L"\n") + MissingDecoderAtBuild(branch.role, StreamCodec::Classic);
            break;
        case BranchResult::Failed:
            ShowFailure(window, branch.failure);
            result = 1;
            break;
        }
    }
    if (!missing.empty()) {
        ShowFailure(window, missing.c_str());
        NoteMissingDecodersReported();
    }
    return result;
}
