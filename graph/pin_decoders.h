#pragma once
// What each of the demultiplexer's three playing pins carries and whether a decoder
// sits behind it, and the decisions that follow when a channel or a track is chosen.
// A pin whose decoder is missing is still built and keeps its PID map: the graph runs
// without that one stream, and a later channel of another codec can still give the
// pin a decoder that exists.
#include <cstdint>
#include <optional>
#include <string>

#include "channels/chaine.h"

enum class PlayingPin { Video, Audio, Ac3 };

struct PinDecoder {
    StreamCodec codec = StreamCodec::Classic;
    bool decoded = true;  // false: no decoder could be connected for `codec`
};

struct PinDecoders {
    PinDecoder video;
    PinDecoder audio;
    PinDecoder ac3;

    PinDecoder& operator[](PlayingPin pin);
    const PinDecoder& operator[](PlayingPin pin) const;
};

// Codecs a channel or a track needs on the three pins; no value leaves that pin as it is.
struct PinCodecs {
    StreamCodec video = StreamCodec::Classic;
    std::optional<StreamCodec> audio;
    std::optional<StreamCodec> ac3;
    // The streams' PIDs (0: not known), where an AAC pin's format is read from.
    std::int32_t audioPid = 0;
    std::int32_t ac3Pid = 0;
};

// The pin must take another media type and decoder, which stops the graph for the while.
bool NeedsReconnect(const PinDecoder& pin, std::optional<StreamCodec> wanted);
// Number of pins that `wanted` reconnects: 0 is a change the running graph absorbs.
int PinsToReconnect(const PinDecoders& pins, const PinCodecs& wanted);
// The pin keeps its codec but has no decoder for it: what the user chose cannot play.
bool LacksDecoder(const PinDecoder& pin, std::optional<StreamCodec> wanted);

// "MPEG-2 vidéo", "AC-3", "H.264"...: the name of the decoder a pin needs for a codec.
std::wstring DecoderLabel(PlayingPin pin, StreamCodec codec);
// Said once after the build, one line per missing decoder: which decoder and what the
// user will go without.
std::wstring MissingDecoderAtBuild(PlayingPin pin, StreamCodec codec);
// Said when a channel or a track is chosen that needs a missing decoder.
std::wstring MissingDecoderForChoice(PlayingPin pin, StreamCodec codec);
