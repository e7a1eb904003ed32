#pragma once
// The demultiplexer's four output pins and the branches rendered behind them.
#include <windows.h>
#include <dshow.h>

#include "common/com_ptr.h"

struct IMpeg2Demultiplexer;

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

// The configured decoder between `pin` and `renderer` (found by its name in
// `setting` for `major`/`subtype`, added as `decoderName` and kept in `decoder`),
// or, when none is configured, whatever chain the graph finds from `pin` to the
// renderers already in it. With `onlyThisRenderer`, that chain must end in
// `renderer`: once the graph holds both sound renderers, one of them may be free
// for a moment, and a chain that took the other branch's renderer would leave that
// branch without one. Returns the failure message, "" for a silent failure, or
// nullptr on success.
const wchar_t* ConnectDecoder(IPin* pin, const GUID& major, const GUID& subtype, const wchar_t* setting,
                              const wchar_t* decoderName, ComPtr<IBaseFilter>& decoder, IBaseFilter* renderer,
                              const wchar_t* connectFailure, const wchar_t* renderFailure,
                              bool onlyThisRenderer = false);

// Creates the four pins and renders each branch, in the order video, audio, AC-3,
// data; a branch that fails does not stop the later ones. A pin for which no decoder
// is installed is kept without one, and the missing decoders are reported together in
// one message. The video is drawn in `window`, which also owns the messages. 0 when
// every branch but those without a decoder was built, 1 after a failure's message.
int RenderDemuxOutputs(HWND window);
