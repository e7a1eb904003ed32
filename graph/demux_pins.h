#pragma once
// The demultiplexer's four output pins and the branches rendered behind them.
#include <windows.h>
#include <dshow.h>

struct IMpeg2Demultiplexer;

// Fills `type` (whose format block is then owned by the caller, CoTaskMemFree) with
// the media type of the "video", "son", "ac3" or "data" pin.
void MakeVideoPinType(AM_MEDIA_TYPE& type);
void MakeAudioPinType(AM_MEDIA_TYPE& type, const GUID& subtype);
void MakeDataPinType(AM_MEDIA_TYPE& type);

// Creates the four pins and renders each branch, in the order video, audio, AC-3,
// data, stopping at the first that fails. 0 on success, 1 after a message.
int RenderDemuxOutputs();
