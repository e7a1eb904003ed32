#include "standins/decoders/media_types.h"

#include <dvdmedia.h>
#include <mmreg.h>
#include <uuids.h>

#include <cstdlib>
#include <cstring>

#include "graph/filterbase/media_type.h"
#include "graph/media_framework.h"
#include "standins/decoders/mpeg_video_stream.h"

namespace standin {

namespace {

bool FormatAtLeast(const AM_MEDIA_TYPE& type, std::size_t size)
{
    return type.pbFormat && type.cbFormat >= size;
}

bool SaneSide(long side) { return side > 0 && side <= kMaxPictureSide; }

HRESULT SetFormat(AM_MEDIA_TYPE& type, const void* format, ULONG size)
{
    type.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
    if (!type.pbFormat) return E_OUTOFMEMORY;
    std::memcpy(type.pbFormat, format, size);
    type.cbFormat = size;
    return S_OK;
}

}  // namespace

bool CompressedVideoSize(const AM_MEDIA_TYPE& type, int& width, int& height)
{
    const BITMAPINFOHEADER* bmi = nullptr;
    const RECT* source = nullptr;
    if ((type.formattype == FORMAT_MPEG2Video || type.formattype == FORMAT_VideoInfo2) &&
        FormatAtLeast(type, sizeof(VIDEOINFOHEADER2))) {
        const auto* v = reinterpret_cast<const VIDEOINFOHEADER2*>(type.pbFormat);
        bmi = &v->bmiHeader;
        source = &v->rcSource;
    } else if (type.formattype == FORMAT_VideoInfo && FormatAtLeast(type, sizeof(VIDEOINFOHEADER))) {
        const auto* v = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
        bmi = &v->bmiHeader;
        source = &v->rcSource;
    }
    if (!bmi) return false;
    long w = bmi->biWidth, h = std::labs(bmi->biHeight);
    if (!SaneSide(w) || !SaneSide(h)) {
        w = source->right - source->left;
        h = source->bottom - source->top;
    }
    if (!SaneSide(w) || !SaneSide(h)) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

HRESULT MakeRgb32Type(int width, int height, std::int64_t period100ns, AM_MEDIA_TYPE& type)
{
    InitMediaType(type);
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_RGB32;
    type.formattype = FORMAT_VideoInfo;
    type.bFixedSizeSamples = TRUE;
    type.bTemporalCompression = FALSE;
    type.lSampleSize = static_cast<ULONG>(width) * static_cast<ULONG>(height) * 4;

    VIDEOINFOHEADER v{};
    v.rcSource = {0, 0, width, height};
    v.rcTarget = v.rcSource;
    v.AvgTimePerFrame = period100ns;
    v.dwBitRate = static_cast<DWORD>(static_cast<std::uint64_t>(type.lSampleSize) * 8 * 10000000 /
                                     static_cast<std::uint64_t>(period100ns > 0 ? period100ns : 400000));
    v.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    v.bmiHeader.biWidth = width;
    v.bmiHeader.biHeight = height;
    v.bmiHeader.biPlanes = 1;
    v.bmiHeader.biBitCount = 32;
    v.bmiHeader.biCompression = BI_RGB;
    v.bmiHeader.biSizeImage = type.lSampleSize;
    return SetFormat(type, &v, sizeof v);
}

bool ReadRgb32Type(const AM_MEDIA_TYPE& type, int& width, int& height)
{
    if (type.majortype != MEDIATYPE_Video || type.subtype != MEDIASUBTYPE_RGB32 ||
        type.formattype != FORMAT_VideoInfo || !FormatAtLeast(type, sizeof(VIDEOINFOHEADER)))
        return false;
    const BITMAPINFOHEADER& bmi = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
    if (bmi.biBitCount != 32 || bmi.biCompression != BI_RGB) return false;
    if (!SaneSide(bmi.biWidth) || !SaneSide(std::labs(bmi.biHeight))) return false;
    width = bmi.biWidth;
    height = bmi.biHeight;
    return true;
}

HRESULT MakePcmType(std::uint32_t sampleRate, AM_MEDIA_TYPE& type)
{
    InitMediaType(type);
    type.majortype = MEDIATYPE_Audio;
    type.subtype = MEDIASUBTYPE_PCM;
    type.formattype = FORMAT_WaveFormatEx;
    type.bFixedSizeSamples = TRUE;
    type.lSampleSize = kPcmBytesPerFrame;
    WAVEFORMATEX w{};
    w.wFormatTag = WAVE_FORMAT_PCM;
    w.nChannels = 2;
    w.nSamplesPerSec = sampleRate;
    w.wBitsPerSample = 16;
    w.nBlockAlign = kPcmBytesPerFrame;
    w.nAvgBytesPerSec = sampleRate * kPcmBytesPerFrame;
    w.cbSize = 0;
    return SetFormat(type, &w, sizeof w);
}

const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type)
{
    if (type.formattype != FORMAT_WaveFormatEx || !FormatAtLeast(type, sizeof(WAVEFORMATEX))) return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
}

bool IsEac3FormatBlock(const AM_MEDIA_TYPE& type)
{
    const WAVEFORMATEX* wave = WaveFormatOf(type);
    if (!wave || wave->wFormatTag != WAVE_FORMAT_EXTENSIBLE || !FormatAtLeast(type, sizeof(WAVEFORMATEXTENSIBLE)))
        return false;
    const auto* extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(type.pbFormat);
    return IsEqualGUID(extensible->SubFormat, MEDIASUBTYPE_DOLBY_DDPLUS) != 0;
}

std::uint32_t WaveSampleRate(const AM_MEDIA_TYPE& type)
{
    if (type.formattype != FORMAT_WaveFormatEx || !FormatAtLeast(type, 16)) return 0;
    const std::uint32_t rate = reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat)->nSamplesPerSec;
    return rate >= 8000 && rate <= 48000 ? rate : 0;
}

}  // namespace standin
