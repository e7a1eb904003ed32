#pragma once
// The media types the program gives the demultiplexer's output pins.
#include <windows.h>
#include <dshow.h>

// Fills `type` with the media type of the "video", "son", "ac3" or "data" pin. The
// format block is then the caller's, to free with FreeMediaType. The video and audio
// types give E_OUTOFMEMORY, with no format block in `type`, when their block cannot
// be allocated.
HRESULT MakeVideoPinType(AM_MEDIA_TYPE& type);
// The video pin's type for a picture of another coding or size.
struct PictureFormat {
    GUID subtype;
    LONG width;
    LONG height;
    DWORD aspectX;
    DWORD aspectY;
    DWORD compression;  // the bitmap header's four-character code, 0 for MPEG-2
};
HRESULT MakeVideoPinType(AM_MEDIA_TYPE& type, const PictureFormat& picture);
// A pin type of fixed-size samples with its own copy of `format` in task memory.
// E_OUTOFMEMORY leaves `type` without a format block.
HRESULT MakePinType(AM_MEDIA_TYPE& type, const GUID& major, const GUID& subtype, const GUID& formatType,
                    void* format, ULONG formatSize);
HRESULT MakeAudioPinType(AM_MEDIA_TYPE& type, const GUID& subtype, WORD formatTag = 1 /* PCM */);
// The AC-3 pin's type. Its format block names AC-3 (WAVE_FORMAT_DOLBY_AC3): with the
// PCM tag, a sound renderer takes the compressed stream itself when no AC-3 decoder is
// installed, and plays noise instead of the missing decoder being noticed.
HRESULT MakeAc3PinType(AM_MEDIA_TYPE& type);
void MakeDataPinType(AM_MEDIA_TYPE& type);
