#include "standins/decoders/audio_decoder.h"

#include <uuids.h>

#include <algorithm>
#include <cstdlib>

#include "graph/filterbase/media_type.h"
#include "graph/media_framework.h"
#include "standins/decoders/decoder_registration.h"
#include "standins/decoders/media_types.h"

namespace standin {

namespace {

constexpr std::uint32_t kDefaultRate = 48000;
// Largest PCM block of one frame: 1536 samples, times 3 when a 16 kHz stream has to be
// given at 48 kHz because downstream refused a change of rate.
constexpr long kOutputBytes = 1536 * 3 * kPcmBytesPerFrame;
constexpr long kOutputBuffers = 8;
// Quiet, so that a stand-in never startles anyone: about -40 dB full scale.
constexpr double kToneAmplitude = 300.0;
// A resynchronisation on the upstream time stamps only when they drift this far.
constexpr REFERENCE_TIME kMaxDrift = 400000;

const StandinFilterEntry& EntryOf(AudioFormat format)
{
    switch (format) {
    case AudioFormat::Ac3: return Ac3DecoderEntry();
    case AudioFormat::Aac: return AacDecoderEntry();
    case AudioFormat::Eac3: return Eac3DecoderEntry();
    case AudioFormat::MpegAudio: break;
    }
    return MpegAudioDecoderEntry();
}

const wchar_t* NameOf(AudioFormat format)
{
    switch (format) {
    case AudioFormat::Ac3: return L"AC-3 decoder stand-in";
    case AudioFormat::Aac: return L"AAC decoder stand-in";
    case AudioFormat::Eac3: return L"E-AC-3 decoder stand-in";
    case AudioFormat::MpegAudio: break;
    }
    return L"MPEG audio decoder stand-in";
}

}  // namespace

CPcmAudioDecoder::CPcmAudioDecoder(IUnknown* outer, AudioFormat format, bool strictFormat)
    : CTransformFilter(NameOf(format), outer, *EntryOf(format).setup.classId), format_(format),
      strictFormat_(strictFormat), scanner_(format)
{
}

const FilterSetup* CPcmAudioDecoder::GetSetupData()
{
    return &EntryOf(format_).setup;
}

HRESULT CPcmAudioDecoder::CheckInputType(const AM_MEDIA_TYPE& type)
{
    if (type.majortype != MEDIATYPE_Audio) return VFW_E_TYPE_NOT_ACCEPTED;
    if (format_ == AudioFormat::Ac3) return type.subtype == MEDIASUBTYPE_DOLBY_AC3 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    if (format_ == AudioFormat::Eac3) {
        if (type.subtype != MEDIASUBTYPE_DOLBY_DDPLUS) return VFW_E_TYPE_NOT_ACCEPTED;
        return !strictFormat_ || IsEac3FormatBlock(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    if (format_ == AudioFormat::Aac) {
        if (type.subtype != MEDIASUBTYPE_MPEG_ADTS_AAC && type.subtype != MEDIASUBTYPE_MPEG_LOAS)
            return VFW_E_TYPE_NOT_ACCEPTED;
        // The platform's AAC decoder needs the rate and the channel count up front.
        const WAVEFORMATEX* wave = WaveFormatOf(type);
        return !strictFormat_ || (wave && wave->nSamplesPerSec != 0 && wave->nChannels != 0) ? S_OK
                                                                                              : VFW_E_TYPE_NOT_ACCEPTED;
    }
    const bool mpeg = type.subtype == MEDIASUBTYPE_MPEG2_AUDIO || type.subtype == MEDIASUBTYPE_MPEG1AudioPayload ||
                      type.subtype == MEDIASUBTYPE_MPEG1Payload;
    return mpeg ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPcmAudioDecoder::GetOutputType(const AM_MEDIA_TYPE* input, int position, AM_MEDIA_TYPE& type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    std::uint32_t rate = input ? WaveSampleRate(*input) : 0;
    return MakePcmType(rate ? rate : kDefaultRate, type);
}

HRESULT CPcmAudioDecoder::CheckOutputType(const AM_MEDIA_TYPE*, const AM_MEDIA_TYPE& type)
{
    if (type.majortype != MEDIATYPE_Audio || type.subtype != MEDIASUBTYPE_PCM) return VFW_E_TYPE_NOT_ACCEPTED;
    if (type.formattype != FORMAT_WaveFormatEx || !type.pbFormat || type.cbFormat < 16) return VFW_E_TYPE_NOT_ACCEPTED;
    const auto* w = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
    const bool ours = w->wFormatTag == WAVE_FORMAT_PCM && w->nChannels == 2 && w->wBitsPerSample == 16 &&
                      w->nBlockAlign == kPcmBytesPerFrame && WaveSampleRate(type) != 0;
    return ours ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

void CPcmAudioDecoder::OutputBufferNeeds(long& count, long& bytes)
{
    count = kOutputBuffers;
    bytes = kOutputBytes;
}

void CPcmAudioDecoder::StartOfRun()
{
    scanner_.Reset();
    firstFrameChecked_ = false;
    outputRate_ = WaveSampleRate(Output().CurrentMediaType());
    if (!outputRate_) outputRate_ = kDefaultRate;
    haveTime_ = false;
    remainder_ = 0;
}

void CPcmAudioDecoder::AfterFlush()
{
    scanner_.Reset();
    haveTime_ = false;
    remainder_ = 0;
}

HRESULT CPcmAudioDecoder::Transform(IMediaSample* sample)
{
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const long length = sample->GetActualDataLength();
    if (length <= 0) return S_OK;

    REFERENCE_TIME start = 0, stop = 0;
    if (SUCCEEDED(sample->GetTime(&start, &stop))) {
        // Upstream time stamps mark where its sample starts, not where our next frame
        // does; follow them only when our own count has drifted away.
        if (!haveTime_ || std::llabs(start - nextTime_) > kMaxDrift) nextTime_ = start;
        haveTime_ = true;
    }
    frames_.clear();
    scanner_.Feed(data, static_cast<std::size_t>(length), frames_);
    for (const AudioFrameInfo& frame : frames_) {
        hr = CheckFirstFrame(frame);
        if (FAILED(hr)) return hr;
        hr = DeliverFrame(frame);
        if (hr != S_OK) return hr;
    }
    return S_OK;
}

HRESULT CPcmAudioDecoder::CheckFirstFrame(const AudioFrameInfo& frame)
{
    if (!strictFormat_ || format_ != AudioFormat::Aac || firstFrameChecked_) return S_OK;
    firstFrameChecked_ = true;
    const WAVEFORMATEX* wave = WaveFormatOf(Input().CurrentMediaType());
    if (!wave) return VFW_E_INVALIDMEDIATYPE;
    const bool rateMatches = wave->nSamplesPerSec == frame.sampleRate;
    // An ADTS header with configuration 0 leaves the count to the payload: not checked.
    const bool channelsMatch = frame.channels == 0 || wave->nChannels == frame.channels;
    return rateMatches && channelsMatch ? S_OK : VFW_E_INVALIDMEDIATYPE;
}

HRESULT CPcmAudioDecoder::DeliverFrame(const AudioFrameInfo& frame)
{
    // Follow the stream's rate when downstream takes the change; otherwise give the
    // frame's duration at the rate already agreed.
    MediaType newType;
    bool rateChanged = false;
    if (frame.sampleRate != outputRate_) {
        HRESULT hr = MakePcmType(frame.sampleRate, *newType.Put());
        if (FAILED(hr)) return hr;
        IPin* downstream = Output().GetConnected();
        if (downstream && downstream->QueryAccept(&newType.Get()) == S_OK) {
            rateChanged = true;
            outputRate_ = frame.sampleRate;
            remainder_ = 0;
        }
    }
    const std::uint64_t scaled = std::uint64_t{frame.samplesPerFrame} * outputRate_ + remainder_;
    std::uint32_t samples = static_cast<std::uint32_t>(scaled / frame.sampleRate);
    remainder_ = scaled % frame.sampleRate;
    samples = std::min<std::uint32_t>(samples, kOutputBytes / kPcmBytesPerFrame);

    IMediaSample* out = nullptr;
    HRESULT hr = GetOutputBuffer(kOutputBytes, &out);
    if (FAILED(hr)) return hr;
    ComPtr<IMediaSample> holder = ComPtr<IMediaSample>::Adopt(out);
    BYTE* pcm = nullptr;
    hr = out->GetPointer(&pcm);
    if (FAILED(hr)) return hr;
    const long bytes = static_cast<long>(samples * kPcmBytesPerFrame);
    if (out->GetSize() < bytes) return E_UNEXPECTED;
    const double tone = format_ == AudioFormat::MpegAudio ? 440.0 : 660.0;
    SynthesizeTone(reinterpret_cast<std::int16_t*>(pcm), samples, outputRate_, tone, kToneAmplitude, phase_);

    out->SetActualDataLength(bytes);
    out->SetSyncPoint(TRUE);
    out->SetDiscontinuity(FALSE);
    out->SetPreroll(FALSE);
    const REFERENCE_TIME duration = static_cast<REFERENCE_TIME>(samples) * 10000000 / outputRate_;
    if (haveTime_) {
        REFERENCE_TIME start = nextTime_, end = nextTime_ + duration;
        out->SetTime(&start, &end);
    } else {
        out->SetTime(nullptr, nullptr);
    }
    nextTime_ += duration;
    if (rateChanged) out->SetMediaType(const_cast<AM_MEDIA_TYPE*>(&newType.Get()));
    return Output().Deliver(out);
}

}  // namespace standin
