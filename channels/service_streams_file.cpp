#include "channels/service_streams_file.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr std::string_view kKindNames[] = {"principale", "vo", "audiodescription", "malentendants",
                                           "sous-titres-lus"};

std::string_view KindName(AudioKind kind)
{
    const auto i = static_cast<std::size_t>(kind);
    return i < std::size(kKindNames) ? kKindNames[i] : kKindNames[0];
}

std::optional<AudioKind> KindFromName(std::string_view name)
{
    for (std::size_t i = 0; i < std::size(kKindNames); ++i)
        if (kKindNames[i] == name)
            return static_cast<AudioKind>(i);
    return std::nullopt;
}

void AppendLine(std::string& out, std::u16string_view tag, const std::string& text)
{
    const std::string name(tag.begin(), tag.end());  // ASCII
    out += "\t\t<" + name + '>' + text + "</" + name + ">\r\n";
}

// The element's text as ASCII fields; nullopt when it holds anything else.
std::optional<std::vector<std::string>> Fields(std::u16string_view text)
{
    std::vector<std::string> fields(1);
    for (char16_t c : text) {
        if (c == u',')
            fields.emplace_back();
        else if (c > 0x20 && c < 0x7F)
            fields.back() += static_cast<char>(c);
        else if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n')
            return std::nullopt;
    }
    return fields;
}

std::optional<unsigned> Number(const std::string& text, int base, unsigned max)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc{} || ptr != end || value > max)
        return std::nullopt;
    return value;
}

// A PID that can carry a stream: not the PAT's, not the null packets'.
std::optional<std::int32_t> Pid(const std::string& text)
{
    const auto pid = Number(text, 10, 0x1FFE);
    if (!pid || *pid == 0)
        return std::nullopt;
    return static_cast<std::int32_t>(*pid);
}

void StoreLanguage(char (&code)[4], const std::string& text)
{
    if (text.size() == 3)
        SetLanguage(code, reinterpret_cast<const std::uint8_t*>(text.data()));
    else
        code[0] = '\0';
}

std::optional<AudioTrack> AudioFrom(const std::vector<std::string>& f)
{
    if (f.size() < 4)
        return std::nullopt;
    AudioTrack track{};
    const auto pid = Pid(f[0]);
    const auto kind = KindFromName(f[2]);
    if (!pid || !kind || !AudioCodecFromName(f[3], track.codec))
        return std::nullopt;
    track.pid = *pid;
    track.kind = *kind;
    StoreLanguage(track.language, f[1]);
    if (f.size() > 4)
        StoreLanguage(track.spokenLanguage, f[4]);
    return track;
}

std::optional<SubtitleTrack> DvbFrom(const std::vector<std::string>& f)
{
    if (f.size() < 5)
        return std::nullopt;
    const auto pid = Pid(f[0]);
    const auto type = Number(f[2], 16, 0xFF);
    const auto composition = Number(f[3], 10, 0xFFFF);
    const auto ancillary = Number(f[4], 10, 0xFFFF);
    if (!pid || !type || !composition || !ancillary)
        return std::nullopt;
    SubtitleTrack track{};
    track.pid = *pid;
    track.format = SubtitleFormat::Dvb;
    StoreLanguage(track.language, f[1]);
    track.type = static_cast<std::uint8_t>(*type);
    track.compositionPage = static_cast<std::uint16_t>(*composition);
    track.ancillaryPage = static_cast<std::uint16_t>(*ancillary);
    return track;
}

std::optional<SubtitleTrack> TeletextFrom(const std::vector<std::string>& f)
{
    if (f.size() < 4)
        return std::nullopt;
    const auto pid = Pid(f[0]);
    const auto type = Number(f[2], 10, 0x1F);
    const auto page = Number(f[3], 16, 0x8FF);
    if (!pid || !type || !page || *page < 0x100)
        return std::nullopt;
    SubtitleTrack track{};
    track.pid = *pid;
    track.format = SubtitleFormat::Teletext;
    StoreLanguage(track.language, f[1]);
    track.type = static_cast<std::uint8_t>(*type);
    track.teletextPage = static_cast<std::uint16_t>(*page);
    return track;
}

}  // namespace

void AppendStreamLines(std::string& out, const ServiceStreams& streams)
{
    char buffer[96];
    for (std::size_t i = 0; i < streams.audioCount && i < kMaxAudioTracks; ++i) {
        const AudioTrack& t = streams.audio[i];
        std::string text = std::to_string(t.pid) + ',' + std::string(LanguageOf(t.language)) + ',' +
                           std::string(KindName(t.kind)) + ',' + std::string(AudioCodecName(t.codec));
        if (const std::string_view spoken = LanguageOf(t.spokenLanguage); !spoken.empty())
            text += ',' + std::string(spoken);
        AppendLine(out, kAudioTrackElement, text);
    }
    for (std::size_t i = 0; i < streams.subtitleCount && i < kMaxSubtitleTracks; ++i) {
        const SubtitleTrack& t = streams.subtitles[i];
        const std::string language(LanguageOf(t.language));
        if (t.format == SubtitleFormat::Teletext) {
            std::snprintf(buffer, sizeof buffer, "%d,%s,%u,%03X", static_cast<int>(t.pid), language.c_str(),
                          static_cast<unsigned>(t.type), static_cast<unsigned>(t.teletextPage));
            AppendLine(out, kTeletextSubtitleElement, buffer);
        } else {
            std::snprintf(buffer, sizeof buffer, "%d,%s,%02X,%u,%u", static_cast<int>(t.pid), language.c_str(),
                          static_cast<unsigned>(t.type), static_cast<unsigned>(t.compositionPage),
                          static_cast<unsigned>(t.ancillaryPage));
            AppendLine(out, kDvbSubtitleElement, buffer);
        }
    }
}

ServiceStreams StreamsFromEntry(const XmlNodeView& entry)
{
    ServiceStreams streams{};
    for (const XmlNodeView& child : entry.children) {
        const auto fields = Fields(child.text);
        if (!fields)
            continue;
        if (child.name == kAudioTrackElement) {
            if (const auto track = AudioFrom(*fields))
                AddAudioTrack(streams, *track);
        } else if (child.name == kDvbSubtitleElement) {
            if (const auto track = DvbFrom(*fields))
                AddSubtitleTrack(streams, *track);
        } else if (child.name == kTeletextSubtitleElement) {
            if (const auto track = TeletextFrom(*fields))
                AddSubtitleTrack(streams, *track);
        }
    }
    return streams;
}
