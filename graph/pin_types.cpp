#include "graph/pin_types.h"

#include <bdaiface.h>
#include <dvdmedia.h>

#include <cstring>

#include "graph/filterbase/media_type.h"

namespace {

constexpr WORD kWaveFormatDolbyAc3 = 0x2000;

}  // namespace

HRESULT MakePinType(AM_MEDIA_TYPE& type, const GUID& major, const GUID& subtype, const GUID& formatType,
                   void* format, ULONG formatSize)
{
    AM_MEDIA_TYPE pin;
    std::memset(&pin, 0, sizeof pin);
    pin.majortype = major;
    pin.subtype = subtype;
    pin.bFixedSizeSamples = TRUE;
    pin.formattype = formatType;
    pin.cbFormat = formatSize;
    pin.pbFormat = static_cast<BYTE*>(format);
    return CopyMediaType(type, pin);
}

HRESULT MakeVideoPinType(AM_MEDIA_TYPE& type, const PictureFormat& picture)
{
    MPEG2VIDEOINFO info;
    std::memset(&info, 0, sizeof info);
    info.hdr.rcSource.right = picture.width;
    info.hdr.rcSource.bottom = picture.height;
    info.hdr.dwPictAspectRatioX = picture.aspectX;
    info.hdr.dwPictAspectRatioY = picture.aspectY;
    info.hdr.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.hdr.bmiHeader.biWidth = picture.width;
    info.hdr.bmiHeader.biHeight = picture.height;
    info.hdr.bmiHeader.biCompression = picture.compression;
    return MakePinType(type, MEDIATYPE_Video, picture.subtype, FORMAT_MPEG2Video, &info, sizeof info);
}

HRESULT MakeVideoPinType(AM_MEDIA_TYPE& type)
{
    return MakeVideoPinType(type, {MEDIASUBTYPE_MPEG2_VIDEO, 720, 576, 4, 3, 0});
}

HRESULT MakeAudioPinType(AM_MEDIA_TYPE& type, const GUID& subtype, WORD formatTag)
{
    WAVEFORMATEX wave;
    std::memset(&wave, 0, sizeof wave);
    wave.wFormatTag = formatTag;
    wave.nChannels = 2;
    wave.nSamplesPerSec = 48000;
    wave.nAvgBytesPerSec = 192000;
    wave.nBlockAlign = 4;
    wave.wBitsPerSample = 16;
    wave.cbSize = 0;
    return MakePinType(type, MEDIATYPE_Audio, subtype, FORMAT_WaveFormatEx, &wave, sizeof wave);
}

HRESULT MakeAc3PinType(AM_MEDIA_TYPE& type)
{
    return MakeAudioPinType(type, MEDIASUBTYPE_DOLBY_AC3, kWaveFormatDolbyAc3);
}

void MakeDataPinType(AM_MEDIA_TYPE& type)
{
    std::memset(&type, 0, sizeof type);
    type.majortype = MEDIATYPE_MPEG2_SECTIONS;
    type.subtype = MEDIASUBTYPE_MPEG2DATA;
    type.bFixedSizeSamples = TRUE;
    type.formattype = FORMAT_None;
}
