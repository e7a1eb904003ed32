#pragma once
// The demultiplexer's video, audio and AC-3 pins follow the codec of the current
// channel's streams. A pin is built for the classic kinds (MPEG-2 video, MPEG audio,
// AC-3); when a channel brings another codec on a pin, the pin takes that codec's
// media type and the decoder behind it is replaced: the one named in the settings
// for that codec, else the chain the graph finds to the pin's renderer. Channels of
// the same codecs change nothing here.
#include <windows.h>
#include <dshow.h>

#include <string>

#include "channels/chaine.h"
#include "graph/adts_header.h"
#include "graph/pin_decoders.h"

// Media types of the pins for one codec (the classic kinds give the build's types).
// The format block is then the caller's, to free with FreeMediaType.
HRESULT MakeVideoPinTypeFor(StreamCodec codec, AM_MEDIA_TYPE& type);
// An AAC pin carries the stream's own rate and channel count when `stream` gives them
// (else 48 kHz stereo); an E-AC-3 pin a WAVEFORMATEXTENSIBLE whose sub-format is
// E-AC-3's, not AC-3's tag, which an E-AC-3 decoder may refuse.
HRESULT MakeAudioPinTypeFor(StreamCodec codec, bool ac3Pin, AM_MEDIA_TYPE& type,
                            const AudioFormat* stream = nullptr);

// The window that owns the messages of a failed reconnection; the pins are classic
// again, as a new build makes them.
void SetCodecMessageOwner(HWND window);
// The build's verdict on one pin's classic decoder.
void MarkPinDecoded(PlayingPin pin, bool decoded);
// The build has just told the user which decoders are missing: the first channel
// chosen after it does not say it again.
void NoteMissingDecodersReported();

// Before the channel's PIDs are mapped: gives every pin whose codec differs its new
// type and decoder, with the graph stopped for the while and run again after. A video
// or sound pin that keeps a codec it has no decoder for says so. Returns the number of
// pins changed (0: the fast path, nothing stopped); after a stop the tuner must be
// tuned again, as a USB tuner forgets its frequency when the graph stops.
int MatchPinCodecs(const PinCodecs& wanted);
// How many pins MatchPinCodecs would change, without changing them.
int PinsToReconnectFor(const PinCodecs& wanted);
// The message for choosing `codec` on `pin` when no decoder for it is behind the pin;
// empty when it can play.
std::wstring MissingDecoderMessage(PlayingPin pin, StreamCodec codec);
