#include "standins/decoders/decoder_registration.h"

#include <uuids.h>

#include <new>

#include "graph/media_framework.h"
#include "standins/decoders/audio_decoder.h"
#include "standins/decoders/video_decoder.h"
#include "standins/switches_env.h"

namespace standin {

namespace {

// The filter mapper matches the input types when the graph looks for a decoder of a
// pin, and needs a registered output pin when it renders to existing renderers.
const REGPINTYPES kVideoIn[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG2_VIDEO}};
const REGPINTYPES kVideoOut[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32}};
const REGPINTYPES kMpegAudioIn[] = {
    {&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG2_AUDIO},
    {&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG1AudioPayload},
    {&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG1Payload},
};
const REGPINTYPES kAc3In[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_DOLBY_AC3}};
const REGPINTYPES kH264In[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_H264}, {&MEDIATYPE_Video, &MEDIASUBTYPE_HEVC}};
const REGPINTYPES kAacIn[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG_ADTS_AAC}, {&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG_LOAS}};
const REGPINTYPES kEac3In[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_DOLBY_DDPLUS}};
const REGPINTYPES kPcmOut[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM}};

REGFILTERPINS2 MakePin(DWORD flags, UINT count, const REGPINTYPES* types)
{
    REGFILTERPINS2 pin{};
    pin.dwFlags = flags;
    pin.cInstances = 1;
    pin.nMediaTypes = count;
    pin.lpMediaType = types;
    return pin;
}

REGFILTER2 MakeFilter(const REGFILTERPINS2* pins)
{
    REGFILTER2 reg{};
    reg.dwVersion = 2;
    reg.dwMerit = MERIT_NORMAL;
    reg.cPins2 = 2;
    reg.rgPins2 = pins;
    return reg;
}

const REGFILTERPINS2 kVideoPins[] = {MakePin(0, 1, kVideoIn), MakePin(REG_PINFLAG_B_OUTPUT, 1, kVideoOut)};
const REGFILTERPINS2 kMpegAudioPins[] = {MakePin(0, 3, kMpegAudioIn), MakePin(REG_PINFLAG_B_OUTPUT, 1, kPcmOut)};
const REGFILTERPINS2 kAc3Pins[] = {MakePin(0, 1, kAc3In), MakePin(REG_PINFLAG_B_OUTPUT, 1, kPcmOut)};
const REGFILTERPINS2 kH264Pins[] = {MakePin(0, 2, kH264In), MakePin(REG_PINFLAG_B_OUTPUT, 1, kVideoOut)};
const REGFILTERPINS2 kAacPins[] = {MakePin(0, 2, kAacIn), MakePin(REG_PINFLAG_B_OUTPUT, 1, kPcmOut)};
const REGFILTERPINS2 kEac3Pins[] = {MakePin(0, 1, kEac3In), MakePin(REG_PINFLAG_B_OUTPUT, 1, kPcmOut)};
const REGFILTER2 kH264Filter = MakeFilter(kH264Pins);
const REGFILTER2 kAacFilter = MakeFilter(kAacPins);
const REGFILTER2 kEac3Filter = MakeFilter(kEac3Pins);
const REGFILTER2 kVideoFilter = MakeFilter(kVideoPins);
const REGFILTER2 kMpegAudioFilter = MakeFilter(kMpegAudioPins);
const REGFILTER2 kAc3Filter = MakeFilter(kAc3Pins);

}  // namespace

const StandinFilterEntry& Mpeg2VideoDecoderEntry()
{
    static const StandinFilterEntry entry{
        {&CLSID_StandinMpeg2VideoDecoder, L"Brisome MPEG-2 Video Decoder", &kVideoFilter}, &CreateMpeg2VideoDecoder};
    return entry;
}

const StandinFilterEntry& MpegAudioDecoderEntry()
{
    static const StandinFilterEntry entry{
        {&CLSID_StandinMpegAudioDecoder, L"Brisome MPEG Audio Decoder", &kMpegAudioFilter}, &CreateMpegAudioDecoder};
    return entry;
}

const StandinFilterEntry& Ac3DecoderEntry()
{
    static const StandinFilterEntry entry{{&CLSID_StandinAc3Decoder, L"Brisome AC-3 Decoder", &kAc3Filter},
                                          &CreateAc3Decoder};
    return entry;
}

const StandinFilterEntry& H264VideoDecoderEntry()
{
    static const StandinFilterEntry entry{
        {&CLSID_StandinH264VideoDecoder, L"Brisome H.264 Video Decoder", &kH264Filter}, &CreateH264VideoDecoder};
    return entry;
}

const StandinFilterEntry& AacDecoderEntry()
{
    static const StandinFilterEntry entry{{&CLSID_StandinAacDecoder, L"Brisome AAC Decoder", &kAacFilter},
                                          &CreateAacDecoder};
    return entry;
}

const StandinFilterEntry& Eac3DecoderEntry()
{
    static const StandinFilterEntry entry{{&CLSID_StandinEac3Decoder, L"Brisome E-AC-3 Decoder", &kEac3Filter},
                                          &CreateEac3Decoder};
    return entry;
}

HRESULT CreateMpeg2VideoDecoder(IUnknown* outer, REFIID iid, void** out)
{
    return CreateFilterObject<CMpeg2VideoDecoder>(outer, iid, out, VideoFormat::Mpeg2);
}

HRESULT CreateH264VideoDecoder(IUnknown* outer, REFIID iid, void** out)
{
    return CreateFilterObject<CMpeg2VideoDecoder>(outer, iid, out, VideoFormat::H264);
}

HRESULT CreateAacDecoder(IUnknown* outer, REFIID iid, void** out)
{
    return CreateFilterObject<CPcmAudioDecoder>(outer, iid, out, AudioFormat::Aac, CurrentStandinSwitches().strictAac);
}

HRESULT CreateEac3Decoder(IUnknown* outer, REFIID iid, void** out)
{
    return CreateFilterObject<CPcmAudioDecoder>(outer, iid, out, AudioFormat::Eac3, CurrentStandinSwitches().strictAac);
}

HRESULT CreateMpegAudioDecoder(IUnknown* outer, REFIID iid, void** out)
{
    return CreateFilterObject<CPcmAudioDecoder>(outer, iid, out, AudioFormat::MpegAudio);
}

HRESULT CreateAc3Decoder(IUnknown* outer, REFIID iid, void** out)
{
    return CreateFilterObject<CPcmAudioDecoder>(outer, iid, out, AudioFormat::Ac3);
}

}  // namespace standin
