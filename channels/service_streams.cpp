#include "channels/service_streams.h"

#include <cstring>

namespace {

constexpr std::string_view kCodecNames[] = {"MPEG", "AC-3", "E-AC-3", "AAC", "AAC-LATM"};

}  // namespace

bool IsHardOfHearing(const SubtitleTrack& track)
{
    if (track.format == SubtitleFormat::Teletext)
        return track.type == 5;
    return track.type >= 0x20 && track.type <= 0x24;
}

bool AddAudioTrack(ServiceStreams& streams, const AudioTrack& track)
{
    if (streams.audioCount >= kMaxAudioTracks)
        return false;
    streams.audio[streams.audioCount++] = track;
    return true;
}

bool AddSubtitleTrack(ServiceStreams& streams, const SubtitleTrack& track)
{
    if (streams.subtitleCount >= kMaxSubtitleTracks)
        return false;
    streams.subtitles[streams.subtitleCount++] = track;
    return true;
}

std::string_view LanguageOf(const char (&code)[4])
{
    const void* nul = std::memchr(code, 0, sizeof code);
    return {code, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - code) : sizeof code};
}

void SetLanguage(char (&code)[4], const std::uint8_t* bytes)
{
    std::memset(code, 0, sizeof code);
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t b = bytes[i];
        const bool upper = b >= 'A' && b <= 'Z';
        if (!upper && !(b >= 'a' && b <= 'z')) {
            std::memset(code, 0, sizeof code);
            return;
        }
        code[i] = static_cast<char>(upper ? b - 'A' + 'a' : b);
    }
}

std::string_view AudioCodecName(AudioCodec codec)
{
    const auto i = static_cast<std::size_t>(codec);
    return i < std::size(kCodecNames) ? kCodecNames[i] : std::string_view{};
}

bool AudioCodecFromName(std::string_view name, AudioCodec& codec)
{
    for (std::size_t i = 0; i < std::size(kCodecNames); ++i) {
        if (kCodecNames[i] == name) {
            codec = static_cast<AudioCodec>(i);
            return true;
        }
    }
    return false;
}
