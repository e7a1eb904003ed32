#include "graph/pin_decoders.h"

PinDecoder& PinDecoders::operator[](PlayingPin pin)
{
    return pin == PlayingPin::Video ? video : pin == PlayingPin::Audio ? audio : ac3;
}

const PinDecoder& PinDecoders::operator[](PlayingPin pin) const
{
    return pin == PlayingPin::Video ? video : pin == PlayingPin::Audio ? audio : ac3;
}

bool NeedsReconnect(const PinDecoder& pin, std::optional<StreamCodec> wanted)
{
    return wanted && *wanted != pin.codec;
}

int PinsToReconnect(const PinDecoders& pins, const PinCodecs& wanted)
{
    return int(NeedsReconnect(pins.video, wanted.video)) + int(NeedsReconnect(pins.audio, wanted.audio)) +
           int(NeedsReconnect(pins.ac3, wanted.ac3));
}

bool LacksDecoder(const PinDecoder& pin, std::optional<StreamCodec> wanted)
{
    return wanted && *wanted == pin.codec && !pin.decoded;
}

std::wstring DecoderLabel(PlayingPin pin, StreamCodec codec)
{
    switch (codec) {
    case StreamCodec::H264: return L"H.264";
    case StreamCodec::Hevc: return L"HEVC";
    case StreamCodec::AacAdts:
    case StreamCodec::AacLatm: return L"AAC";
    case StreamCodec::Eac3: return L"E-AC-3";
    case StreamCodec::Classic: break;
    }
    switch (pin) {
    case PlayingPin::Video: return L"MPEG-2 vid\u00e9o";
    case PlayingPin::Audio: return L"audio MPEG";
    case PlayingPin::Ac3: break;
    }
    return L"AC-3";
}

namespace {

std::wstring NoDecoder(PlayingPin pin, StreamCodec codec)
{
    return L"Aucun d\u00e9codeur " + DecoderLabel(pin, codec) + L" n'est install\u00e9 : ";
}

}  // namespace

std::wstring MissingDecoderAtBuild(PlayingPin pin, StreamCodec codec)
{
    // The streams are named as a viewer knows them: "MPEG-2" pictures, "MPEG" sound.
    std::wstring label = DecoderLabel(pin, codec);
    if (codec == StreamCodec::Classic && pin != PlayingPin::Ac3)
        label = pin == PlayingPin::Video ? L"MPEG-2" : L"MPEG";
    if (pin == PlayingPin::Video)
        return NoDecoder(pin, codec) + L"l'image des cha\u00eenes " + label + L" ne sera pas affich\u00e9e.";
    return NoDecoder(pin, codec) + L"le son " + label + L" ne sera pas disponible.";
}

std::wstring MissingDecoderForChoice(PlayingPin pin, StreamCodec codec)
{
    switch (pin) {
    case PlayingPin::Video:
        return NoDecoder(pin, codec) + L"l'image de cette cha\u00eene ne peut pas \u00eatre affich\u00e9e.";
    case PlayingPin::Audio:
        return NoDecoder(pin, codec) + L"le son de cette cha\u00eene ne peut pas \u00eatre entendu.";
    case PlayingPin::Ac3: break;
    }
    return NoDecoder(pin, codec) + L"cette piste ne peut pas \u00eatre \u00e9cout\u00e9e.";
}
