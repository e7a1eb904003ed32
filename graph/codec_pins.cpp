#include "graph/codec_pins.h"

#include <bdaiface.h>
#include <dvdmedia.h>
#include <ks.h>
#include <ksmedia.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "config/settings.h"
#include "graph/aac_format_probe.h"
#include "graph/decoder_connection.h"
#include "graph/filterbase/media_type.h"
#include "graph/graph.h"
#include "graph/graph_handles.h"
#include "graph/media_framework.h"
#include "graph/pin_types.h"
#include "graph/transport_tap.h"

namespace {

constexpr WORD kWaveFormatAdtsAac = 0x1600;
constexpr WORD kWaveFormatLoas = 0x1602;
constexpr DWORD kStereoMask = SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
// How long a channel change waits for the first ADTS header of a new AAC stream; a
// frame lasts about 21 ms at 48 kHz, so several come within it.
constexpr unsigned kAacProbeMs = 300;

HWND messageOwner = nullptr;

// The codec each pin was last given and whether a decoder took it; the build makes
// them classic.
PinDecoders pinDecoders;
bool buildReportedMissing = false;

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

// One pin with what is behind it.
struct Branch {
    const wchar_t* pinName;
    bool video;
    bool ac3Pin;
    IMPEG2PIDMap* pidMap;
    IBaseFilter* renderer;
    ComPtr<IBaseFilter>* decoder;
    const wchar_t* decoderName;
    PlayingPin role;
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
bool Reconnect(IMpeg2Demultiplexer* demux, const Branch& b, StreamCodec codec, const AudioFormat* stream)
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
    const HRESULT made = b.video ? MakeVideoPinTypeFor(codec, type) : MakeAudioPinTypeFor(codec, b.ac3Pin, type, stream);
    if (FAILED(made))
        return false;
    const HRESULT set = demux->SetOutputPinMediaType(const_cast<LPWSTR>(b.pinName), &type);
    FreeMediaType(type);
    // The pin keeps the codec it now has, so that a later channel tries again.
    PinDecoder& state = pinDecoders[b.role];
    state = {SUCCEEDED(set) ? codec : StreamCodec::Classic, false};
    if (FAILED(set))
        return false;
    const CodecDecoder d = DecoderFor(codec, b.ac3Pin);
    state.decoded = ConnectDecoder(pin.Get(), b.video ? MEDIATYPE_Video : MEDIATYPE_Audio, d.subtype, d.setting,
                                   b.decoderName, *b.decoder, b.renderer, L"", L"", true) == nullptr;
    return state.decoded;
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

HRESULT MakeAudioPinTypeFor(StreamCodec codec, bool ac3Pin, AM_MEDIA_TYPE& type, const AudioFormat* stream)
{
    if (codec == StreamCodec::Eac3) {
        // E-AC-3 has no wave format tag of its own: the extensible format names it.
        WAVEFORMATEXTENSIBLE wave;
        std::memset(&wave, 0, sizeof wave);
        wave.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
        wave.Format.nChannels = 2;
        wave.Format.nSamplesPerSec = 48000;
        wave.Format.nAvgBytesPerSec = 192000;
        wave.Format.nBlockAlign = 4;
        wave.Format.wBitsPerSample = 16;
        wave.Format.cbSize = sizeof wave - sizeof wave.Format;
        wave.Samples.wValidBitsPerSample = 16;
        wave.dwChannelMask = kStereoMask;
        wave.SubFormat = MEDIASUBTYPE_DOLBY_DDPLUS;
        return MakePinType(type, MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_DDPLUS, FORMAT_WaveFormatEx, &wave, sizeof wave);
    }
    if (codec != StreamCodec::AacAdts && codec != StreamCodec::AacLatm)
        return ac3Pin ? MakeAc3PinType(type) : MakeAudioPinType(type, MEDIASUBTYPE_MPEG2_AUDIO);
    // AAC decoders take the core AAC-LC rate and channel count of the stream's
    // headers (before spectral band replication doubles the rate for HE-AAC).
    WAVEFORMATEX wave;
    std::memset(&wave, 0, sizeof wave);
    wave.wFormatTag = codec == StreamCodec::AacLatm ? kWaveFormatLoas : kWaveFormatAdtsAac;
    wave.nChannels = stream && stream->channels ? stream->channels : 2;
    wave.nSamplesPerSec = stream && stream->sampleRate ? stream->sampleRate : 48000;
    wave.wBitsPerSample = 16;
    wave.nBlockAlign = static_cast<WORD>(wave.nChannels * 2);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    return MakePinType(type, MEDIATYPE_Audio, DecoderFor(codec, ac3Pin).subtype, FORMAT_WaveFormatEx, &wave,
                       sizeof wave);
}

void SetCodecMessageOwner(HWND window)
{
    messageOwner = window;
    pinDecoders = {};
    buildReportedMissing = false;
}

void MarkPinDecoded(PlayingPin pin, bool decoded)
{
    pinDecoders[pin].decoded = decoded;
}

void NoteMissingDecodersReported()
{
    buildReportedMissing = true;
}

int PinsToReconnectFor(const PinCodecs& wanted)
{
    return PinsToReconnect(pinDecoders, wanted);
}

std::wstring MissingDecoderMessage(PlayingPin pin, StreamCodec codec)
{
    return LacksDecoder(pinDecoders[pin], codec) ? MissingDecoderForChoice(pin, codec) : std::wstring();
}

int MatchPinCodecs(const PinCodecs& wanted)
{
    const Branch branches[] = {
        {L"video", true, false, videoPidMap.Get(), vmrFilter.Get(), &videoDecoder, L"Codec vid\u00e9o", PlayingPin::Video},
        {L"son", false, false, audioPidMap.Get(), audioRenderer.Get(), &audioDecoder, L"Codec audio", PlayingPin::Audio},
        {L"ac3", false, true, ac3PidMap.Get(), ac3Renderer.Get(), &ac3Decoder, L"Codec ac3", PlayingPin::Ac3},
    };
    const std::optional<StreamCodec> codecs[] = {wanted.video, wanted.audio, wanted.ac3};
    const std::int32_t pids[] = {0, wanted.audioPid, wanted.ac3Pid};

    ComPtr<IMpeg2Demultiplexer> demux;
    if (!graph || !demuxFilter || FAILED(demuxFilter.As(IID_IMpeg2Demultiplexer, demux)))
        return 0;
    const bool alreadyReported = std::exchange(buildReportedMissing, false);
    // The stream is read while the graph still runs: once stopped, nothing flows.
    std::optional<AudioFormat> formats[std::size(branches)];
    for (std::size_t i = 0; i < std::size(branches); ++i) {
        AudioFormat format;
        if (codecs[i] == StreamCodec::AacAdts && NeedsReconnect(pinDecoders[branches[i].role], codecs[i]) &&
            pids[i] > 0 && ProbeAacFormat(static_cast<std::uint16_t>(pids[i]), kAacProbeMs, format))
            formats[i] = format;
    }
    int changed = 0;
    std::wstring failed;
    std::wstring missing;
    for (std::size_t i = 0; i < std::size(branches); ++i) {
        const Branch& b = branches[i];
        if (!b.pidMap || !b.renderer)
            continue;
        // The AC-3 pin plays only once its track is chosen, which says so itself.
        if (b.role != PlayingPin::Ac3 && !alreadyReported && LacksDecoder(pinDecoders[b.role], codecs[i]))
            missing += (missing.empty() ? L"" : L"\n") + MissingDecoderForChoice(b.role, *codecs[i]);
        if (!NeedsReconnect(pinDecoders[b.role], codecs[i]))
            continue;
        if (changed++ == 0 && mediaControl) {
            mediaControl->Stop();
            // The stream is cut here: bytes of a packet carried over from before
            // the stop must not be completed by those that come after it.
            ResetTransportTap();
        }
        // The AC-3 pin is heard only once its track is chosen, whose command says
        // what is missing; a decoder missing there costs nothing until then.
        if (!Reconnect(demux.Get(), b, *codecs[i], formats[i] ? &*formats[i] : nullptr) && b.role != PlayingPin::Ac3)
            failed += std::wstring(failed.empty() ? L"" : L", ") + DecoderLabel(b.role, *codecs[i]);
    }
    if (changed > 0 && mediaControl)
        mediaControl->Run();
    if (!failed.empty())
        ShowFailure(messageOwner, (L"Aucun d\u00e9codeur ne lit le format " + failed +
                                   L" de cette cha\u00eene : choisissez-en un dans la configuration.")
                                      .c_str());
    if (!missing.empty())
        ShowFailure(messageOwner, missing.c_str());
    return changed;
}
