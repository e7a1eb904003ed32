#pragma once
// The demultiplexer's video, audio and AC-3 pins follow the codec of the current
// channel's streams. A pin is built for the classic kinds (MPEG-2 video, MPEG audio,
// AC-3); when a channel brings another codec on a pin, the pin takes that codec's
// media type and the decoder behind it is replaced: the one named in the settings
// for that codec, else the chain the graph finds to the pin's renderer. Channels of
// the same codecs change nothing here.
#include <windows.h>
#include <dshow.h>

#include <optional>

#include "channels/chaine.h"

// Media types of the pins for one codec (the classic kinds give the build's types).
// The format block is then the caller's, to free with FreeMediaType.
HRESULT MakeVideoPinTypeFor(StreamCodec codec, AM_MEDIA_TYPE& type);
HRESULT MakeAudioPinTypeFor(StreamCodec codec, bool ac3Pin, AM_MEDIA_TYPE& type);

// The window that owns the messages of a failed reconnection.
void SetCodecMessageOwner(HWND window);

// Codecs a channel needs on the three pins; no value leaves that pin as it is.
struct PinCodecs {
    StreamCodec video = StreamCodec::Classic;
    std::optional<StreamCodec> audio;
    std::optional<StreamCodec> ac3;
};

// Before the channel's PIDs are mapped: gives every pin whose codec differs its new
// type and decoder, with the graph stopped for the while and run again after. Returns
// the number of pins changed (0: the fast path, nothing stopped).
int MatchPinCodecs(const PinCodecs& wanted);
