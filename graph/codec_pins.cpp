#include "graph/codec_pins.h"

#include <bdaiface.h>
#include <dvdmedia.h>

#include <string>
#include <vector>

#include "config/settings.h"
#include "graph/demux_pins.h"
#include "graph/filterbase/media_type.h"
#include "graph/graph.h"
#include "graph/graph_handles.h"
#include "graph/media_framework.h"

namespace {

constexpr WORD kWaveFormatAdtsAac = 0x1600;
constexpr WORD kWaveFormatLoas = 0x1602;
constexpr WORD kWaveFormatDolbyAc3 = 0x2000;

HWND messageOwner = nullptr;

// The codec each pin was last given; the build makes them classic.
StreamCodec videoPinCodec = StreamCodec::Classic;
StreamCodec audioPinCodec = StreamCodec::Classic;
StreamCodec ac3PinCodec = StreamCodec::Classic;

struct CodecDecoder {
    GUID subtype;
    const wchar_t* setting;  // the user's decoder for it, "" when none is chosen
};

CodecDecoder DecoderFor(StreamCodec codec, bool ac3Pin)
{
    switch (codec) {
    case StreamCodec::H264: return {MEDIASUBTYPE_H264, h264DecoderName};
    case StreamCodec::Hevc: return {MEDIASUBTYPE_HEVC, hevcDecoderName};
    case StreamCodec::AacAdts: return {MEDIASUBTYPE_MPEG_ADTS_AAC, aacDecoderName};
    case StreamCodec::AacLatm: return {MEDIASUBTYPE_MPEG_LOAS, aacDecoderName};
    case StreamCodec::Eac3: return {MEDIASUBTYPE_DOLBY_DDPLUS, eac3DecoderName};
    case StreamCodec::Classic: break;
    }
    return ac3Pin ? CodecDecoder{MEDIASUBTYPE_DOLBY_AC3, ac3DecoderName}
                  : CodecDecoder{MEDIASUBTYPE_MPEG2_AUDIO, audioDecoderName};
}

const wchar_t* CodecLabel(StreamCodec codec)
{
    switch (codec) {
    case StreamCodec::H264: return L"H.264";
    case StreamCodec::Hevc: return L"HEVC";
    case StreamCodec::AacAdts:
    case StreamCodec::AacLatm: return L"AAC";
    case StreamCodec::Eac3: return L"E-AC-3";
    case StreamCodec::Classic: break;
    }
    return L"MPEG";
}

// One pin with what is behind it.
struct Branch {
    const wchar_t* pinName;
    bool video;
    bool ac3Pin;
    IMPEG2PIDMap* pidMap;
    IBaseFilter* renderer;
    ComPtr<IBaseFilter>* decoder;
    const wchar_t* decoderName;
    StreamCodec* current;
};

// Every filter between `pin` and `renderer`, following the first connected output
// pin of each; at most a few, a decoder chain being short.
std::vector<ComPtr<IBaseFilter>> ChainBehind(IPin* pin, IBaseFilter* renderer)
{
    std::vector<ComPtr<IBaseFilter>> chain;
    ComPtr<IPin> next;
    pin->ConnectedTo(next.Put());
    for (int depth = 0; next && depth < 8; ++depth) {
        PIN_INFO info{};
        if (FAILED(next->QueryPinInfo(&info)) || !info.pFilter)
            break;
        ComPtr<IBaseFilter> filter = ComPtr<IBaseFilter>::Adopt(info.pFilter);
        if (filter.Get() == renderer)
            break;
        next.Reset();
        ComPtr<IEnumPins> pins;
        if (SUCCEEDED(filter->EnumPins(pins.Put())) && pins) {
            for (ComPtr<IPin> candidate; pins->Next(1, candidate.Put(), nullptr) == S_OK; candidate.Reset()) {
                PIN_DIRECTION direction;
                ComPtr<IPin> peer;
                if (SUCCEEDED(candidate->QueryDirection(&direction)) && direction == PINDIR_OUTPUT &&
                    SUCCEEDED(candidate->ConnectedTo(peer.Put())) && peer) {
                    next = peer;
                    break;
                }
            }
        }
        chain.push_back(filter);
    }
    return chain;
}

// Gives one pin the codec's type and a decoder for it. The graph is stopped.
bool Reconnect(IMpeg2Demultiplexer* demux, const Branch& b, StreamCodec codec)
{
    ComPtr<IPin> pin;
    if (!b.pidMap || FAILED(b.pidMap->QueryInterface(IID_IPin, pin.PutVoid())))
        return false;
    // The filters between the pin and its renderer go; the pin may also go straight
    // to the renderer, when the renderer took its type.
    const std::vector<ComPtr<IBaseFilter>> chain = ChainBehind(pin.Get(), b.renderer);
    ComPtr<IPin> peer;
    if (SUCCEEDED(pin->ConnectedTo(peer.Put())) && peer) {
        graph->Disconnect(peer.Get());
        graph->Disconnect(pin.Get());
    }
    for (const ComPtr<IBaseFilter>& filter : chain)
        graph->RemoveFilter(filter.Get());
    b.decoder->Reset();

    AM_MEDIA_TYPE type;
    const HRESULT made = b.video ? MakeVideoPinTypeFor(codec, type) : MakeAudioPinTypeFor(codec, b.ac3Pin, type);
    if (FAILED(made))
        return false;
    const HRESULT set = demux->SetOutputPinMediaType(const_cast<LPWSTR>(b.pinName), &type);
    FreeMediaType(type);
    // The pin keeps the codec it now has, so that a later channel tries again.
    *b.current = SUCCEEDED(set) ? codec : StreamCodec::Classic;
    if (FAILED(set))
        return false;
    const CodecDecoder d = DecoderFor(codec, b.ac3Pin);
    return ConnectDecoder(pin.Get(), b.video ? MEDIATYPE_Video : MEDIATYPE_Audio, d.subtype, d.setting,
                          b.decoderName, *b.decoder, b.renderer, L"", L"") == nullptr;
}

}  // namespace

HRESULT MakeVideoPinTypeFor(StreamCodec codec, AM_MEDIA_TYPE& type)
{
    if (codec != StreamCodec::H264 && codec != StreamCodec::Hevc)
        return MakeVideoPinType(type);
    // High-definition pictures until the stream's parameter sets say otherwise.
    if (codec == StreamCodec::H264)
        return MakeVideoPinType(type, {MEDIASUBTYPE_H264, 1920, 1080, 16, 9, MAKEFOURCC('H', '2', '6', '4')});
    return MakeVideoPinType(type, {MEDIASUBTYPE_HEVC, 1920, 1080, 16, 9, MAKEFOURCC('H', 'E', 'V', 'C')});
}

HRESULT MakeAudioPinTypeFor(StreamCodec codec, bool ac3Pin, AM_MEDIA_TYPE& type)
{
    if (codec != StreamCodec::AacAdts && codec != StreamCodec::AacLatm && codec != StreamCodec::Eac3)
        return MakeAudioPinType(type, ac3Pin ? MEDIASUBTYPE_DOLBY_AC3 : MEDIASUBTYPE_MPEG2_AUDIO);
    const WORD tag = codec == StreamCodec::Eac3      ? kWaveFormatDolbyAc3
                     : codec == StreamCodec::AacLatm ? kWaveFormatLoas
                                                     : kWaveFormatAdtsAac;
    return MakeAudioPinType(type, DecoderFor(codec, ac3Pin).subtype, tag);
}

void SetCodecMessageOwner(HWND window)
{
    messageOwner = window;
    videoPinCodec = audioPinCodec = ac3PinCodec = StreamCodec::Classic;
}

int MatchPinCodecs(const PinCodecs& wanted)
{
    const Branch branches[] = {
        {L"video", true, false, videoPidMap.Get(), vmrFilter.Get(), &videoDecoder, L"Codec vid\u00e9o", &videoPinCodec},
        {L"son", false, false, audioPidMap.Get(), audioRenderer.Get(), &audioDecoder, L"Codec audio", &audioPinCodec},
        {L"ac3", false, true, ac3PidMap.Get(), ac3Renderer.Get(), &ac3Decoder, L"Codec ac3", &ac3PinCodec},
    };
    const std::optional<StreamCodec> codecs[] = {wanted.video, wanted.audio, wanted.ac3};

    ComPtr<IMpeg2Demultiplexer> demux;
    if (!graph || !demuxFilter || FAILED(demuxFilter.As(IID_IMpeg2Demultiplexer, demux)))
        return 0;
    int changed = 0;
    std::wstring failed;
    for (std::size_t i = 0; i < std::size(branches); ++i) {
        const Branch& b = branches[i];
        if (!codecs[i] || *codecs[i] == *b.current || !b.pidMap || !b.renderer)
            continue;
        if (changed++ == 0 && mediaControl)
            mediaControl->Stop();
        if (!Reconnect(demux.Get(), b, *codecs[i]))
            failed += std::wstring(failed.empty() ? L"" : L", ") + CodecLabel(*codecs[i]);
    }
    if (changed > 0 && mediaControl)
        mediaControl->Run();
    if (!failed.empty())
        ShowFailure(messageOwner, (L"Aucun d\u00e9codeur ne lit le format " + failed +
                                   L" de cette cha\u00eene : choisissez-en un dans la configuration.")
                                      .c_str());
    return changed;
}
