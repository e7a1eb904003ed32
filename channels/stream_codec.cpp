#include "channels/stream_codec.h"

#include <array>

namespace {

struct NamedCodec {
    StreamCodec codec;
    std::string_view name;
    std::u16string_view wide;
};

constexpr std::array<NamedCodec, 5> kNames{{
    {StreamCodec::H264, "H.264", u"H.264"},
    {StreamCodec::Hevc, "HEVC", u"HEVC"},
    {StreamCodec::AacAdts, "AAC", u"AAC"},
    {StreamCodec::AacLatm, "AAC-LATM", u"AAC-LATM"},
    {StreamCodec::Eac3, "E-AC-3", u"E-AC-3"},
}};

bool IsXmlSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

}  // namespace

std::string_view StreamCodecName(StreamCodec codec)
{
    for (const NamedCodec& n : kNames)
        if (n.codec == codec)
            return n.name;
    return {};
}

std::optional<StreamCodec> StreamCodecFromName(std::u16string_view name)
{
    // White space around the name, as a hand-edited file may have, does not count.
    while (!name.empty() && IsXmlSpace(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && IsXmlSpace(name.back()))
        name.remove_suffix(1);
    for (const NamedCodec& n : kNames)
        if (n.wide == name)
            return n.codec;
    return std::nullopt;
}
