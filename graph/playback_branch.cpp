#include "graph/playback_branch.h"

#include <bdaiface.h>
#include <dvdmedia.h>

#include <vector>

#include "config/settings.h"
#include "graph/codec_pins.h"
#include "graph/devices.h"
#include "graph/filterbase/media_type.h"
#include "graph/graph_handles.h"
#include "graph/playback_source.h"

namespace {

const wchar_t kNoGraph[] = L"La lecture ne peut pas d\u00e9marrer : le graphe DirectShow de lecture n'a pas pu \u00eatre cr\u00e9\u00e9.";
const wchar_t kNothingDecoded[] =
    L"Aucun d\u00e9codeur install\u00e9 ne lit l'image ou le son de cet enregistrement : il ne peut pas \u00eatre lu.";

struct StreamDecoder {
    GUID major;
    GUID subtype;
    const wchar_t* setting;
};

StreamDecoder VideoDecoderFor(StreamCodec codec)
{
    switch (codec) {
    case StreamCodec::H264: return {MEDIATYPE_Video, MEDIASUBTYPE_H264, h264DecoderName};
    case StreamCodec::Hevc: return {MEDIATYPE_Video, MEDIASUBTYPE_HEVC, hevcDecoderName};
    default: return {MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, videoDecoderName};
    }
}

StreamDecoder AudioDecoderFor(StreamCodec codec, bool ac3Pin)
{
    switch (codec) {
    case StreamCodec::AacAdts: return {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG_ADTS_AAC, aacDecoderName};
    case StreamCodec::AacLatm: return {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG_LOAS, aacDecoderName};
    case StreamCodec::Eac3: return {MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_DDPLUS, eac3DecoderName};
    default:
        return ac3Pin ? StreamDecoder{MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3, ac3DecoderName}
                      : StreamDecoder{MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO, audioDecoderName};
    }
}

ComPtr<IBaseFilter> AddNew(IFilterGraph2* graph, const CLSID& clsid, const wchar_t* name)
{
    ComPtr<IBaseFilter> filter;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.PutVoid())) ||
        FAILED(graph->AddFilter(filter.Get(), name)))
        filter.Reset();
    return filter;
}

// A demultiplexer pin of `type` carrying `pid`; the type's format block is freed.
ComPtr<IPin> MakeStreamPin(IMpeg2Demultiplexer* demux, AM_MEDIA_TYPE& type, const wchar_t* name, std::int32_t pid)
{
    ComPtr<IPin> pin;
    const HRESULT hr = demux->CreateOutputPin(&type, const_cast<LPWSTR>(name), pin.Put());
    FreeMediaType(type);
    if (FAILED(hr) || !pin)
        return {};
    ComPtr<IMPEG2PIDMap> map;
    ULONG value = static_cast<ULONG>(pid);
    if (FAILED(pin->QueryInterface(IID_IMPEG2PIDMap, map.PutVoid())) ||
        FAILED(map->MapPID(1, &value, MEDIA_ELEMENTARY_STREAM)))
        return {};
    return pin;
}

// The user's decoder for the stream, else whatever chain the system finds, up
// to `renderer`.
bool ConnectToRenderer(IFilterGraph2* graph, IPin* pin, const StreamDecoder& wanted, const wchar_t* decoderName,
                       IBaseFilter* renderer)
{
    ComPtr<IPin> rendererInput = FindFreePin(renderer, PINDIR_INPUT);
    if (!rendererInput)
        return false;
    ComPtr<IBaseFilter> decoder = FindDecoderByName(wanted.major, wanted.subtype, wanted.setting);
    if (decoder && SUCCEEDED(graph->AddFilter(decoder.Get(), decoderName))) {
        ComPtr<IPin> input = FindFreePin(decoder.Get(), PINDIR_INPUT);
        ComPtr<IPin> output = FindFreePin(decoder.Get(), PINDIR_OUTPUT);
        if (input && output && SUCCEEDED(graph->ConnectDirect(pin, input.Get(), nullptr)) &&
            SUCCEEDED(graph->Connect(output.Get(), rendererInput.Get())))
            return true;
        // This one does not take it: the system's choice is tried instead.
        graph->Disconnect(pin);
        if (input)
            graph->Disconnect(input.Get());
        graph->RemoveFilter(decoder.Get());
    }
    return SUCCEEDED(graph->Connect(pin, rendererInput.Get()));
}

}  // namespace

std::unique_ptr<PlaybackBranch> PlaybackBranch::Open(HWND window, PlaybackFeed& feed, const Chaine& service,
                                                     std::wstring& error)
{
    std::unique_ptr<PlaybackBranch> branch(new PlaybackBranch());
    if (!branch->Build(window, feed, service, error))
        return nullptr;
    // The played picture is the window's from here on.
    branch->liveWindowless_ = windowlessControl;
    windowlessControl = branch->windowless_;
    branch->Pause();
    return branch;
}

bool PlaybackBranch::Build(HWND window, PlaybackFeed& feed, const Chaine& service, std::wstring& error)
{
    error = kNoGraph;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph2,
                                graph_.PutVoid())) ||
        FAILED(graph_.As(IID_IMediaControl, control_)))
        return false;
    sourceFilter_ = new CPlaybackSource(feed);
    source_ = ComPtr<IBaseFilter>::Share(sourceFilter_);
    if (FAILED(graph_->AddFilter(source_.Get(), L"Lecture")))
        return false;
    ComPtr<IBaseFilter> playDemux = AddNew(graph_.Get(), CLSID_MPEG2Demultiplexer, L"Demux lecture");
    ComPtr<IMpeg2Demultiplexer> demux;
    ComPtr<IPin> demuxInput = playDemux ? FindFreePin(playDemux.Get(), PINDIR_INPUT) : ComPtr<IPin>();
    if (!demuxInput || FAILED(playDemux.As(IID_IMpeg2Demultiplexer, demux)) ||
        FAILED(graph_->ConnectDirect(sourceFilter_->Pin(), demuxInput.Get(), nullptr)))
        return false;

    bool decoded = false;
    if (service.Video > 0) {
        ComPtr<IBaseFilter> vmr = AddNew(graph_.Get(), CLSID_VideoMixingRenderer, L"VMR lecture");
        ComPtr<IVMRFilterConfig> config;
        if (vmr && SUCCEEDED(vmr.As(IID_IVMRFilterConfig, config)) &&
            SUCCEEDED(config->SetRenderingMode(VMRMode_Windowless)) &&
            SUCCEEDED(vmr.As(IID_IVMRWindowlessControl, windowless_))) {
            windowless_->SetVideoClippingWindow(window);
            ComPtr<IVMRAspectRatioControl> aspect;
            if (SUCCEEDED(vmr.As(IID_IVMRAspectRatioControl, aspect)))
                aspect->SetAspectRatioMode(VMR_ARMODE_LETTER_BOX);
            AM_MEDIA_TYPE type;
            ComPtr<IPin> pin;
            if (SUCCEEDED(MakeVideoPinTypeFor(service.VideoCodec, type)))
                pin = MakeStreamPin(demux.Get(), type, L"video", service.Video);
            decoded = pin && ConnectToRenderer(graph_.Get(), pin.Get(), VideoDecoderFor(service.VideoCodec),
                                               L"Codec vid\u00e9o", vmr.Get());
        }
        if (!decoded) {
            windowless_.Reset();
            if (vmr)
                graph_->RemoveFilter(vmr.Get());
        }
    }
    const bool ac3Pin = service.Son1 <= 0;
    const std::int32_t audioPid = ac3Pin ? service.Ac3 : service.Son1;
    const StreamCodec audioCodec = ac3Pin ? service.Ac3Codec : service.Son1Codec;
    if (audioPid > 0) {
        ComPtr<IBaseFilter> sound = AddNew(graph_.Get(), CLSID_DSoundRender, L"Son lecture");
        AM_MEDIA_TYPE type;
        ComPtr<IPin> pin;
        if (sound && SUCCEEDED(MakeAudioPinTypeFor(audioCodec, ac3Pin, type)))
            pin = MakeStreamPin(demux.Get(), type, L"son", audioPid);
        const bool heard = pin && ConnectToRenderer(graph_.Get(), pin.Get(), AudioDecoderFor(audioCodec, ac3Pin),
                                                    L"Codec audio", sound.Get());
        if (!heard && sound)
            graph_->RemoveFilter(sound.Get());
        decoded = decoded || heard;
    }
    if (!decoded) {
        error = kNothingDecoded;
        return false;
    }
    error.clear();
    return true;
}

PlaybackBranch::~PlaybackBranch()
{
    if (control_)
        control_->Stop();
    // Given back only by a branch that took it (Open succeeded).
    if (windowlessControl.Get() == windowless_.Get() && (windowless_ || liveWindowless_))
        windowlessControl = liveWindowless_;
    windowless_.Reset();
    liveWindowless_.Reset();
    control_.Reset();
    // The graph lets its filters go; the source's pin stops first, then the feed
    // is no longer read.
    if (graph_) {
        ComPtr<IEnumFilters> filters;
        if (SUCCEEDED(graph_->EnumFilters(filters.Put())) && filters) {
            std::vector<ComPtr<IBaseFilter>> all;
            for (ComPtr<IBaseFilter> f; filters->Next(1, f.Put(), nullptr) == S_OK; f.Reset())
                all.push_back(f);
            filters.Reset();
            for (const ComPtr<IBaseFilter>& f : all)
                graph_->RemoveFilter(f.Get());
        }
    }
    source_.Reset();
    graph_.Reset();
}

void PlaybackBranch::Run()
{
    if (control_)
        control_->Run();
}

void PlaybackBranch::Pause()
{
    if (control_)
        control_->Pause();
}

void PlaybackBranch::SeekTo(std::uint64_t position, bool running)
{
    if (!sourceFilter_)
        return;
    CPlaybackPin* pin = sourceFilter_->Pin();
    if (!pin->Ended() || !control_) {
        pin->FlushTo(position);
        return;
    }
    // The worker has sent the end of the stream and waits: a stop and a new
    // start let it deliver again, from the new place.
    control_->Stop();
    pin->SeekTo(position);
    if (running)
        control_->Run();
    else
        control_->Pause();
}

std::uint64_t PlaybackBranch::Delivered() const
{
    return sourceFilter_ ? sourceFilter_->Pin()->Delivered() : 0;
}

bool PlaybackBranch::ShowsPicture() const
{
    BYTE* image = nullptr;
    if (!windowless_ || FAILED(windowless_->GetCurrentImage(&image)) || !image)
        return false;
    CoTaskMemFree(image);
    return true;
}
