#include "app/track_menu_model.h"

#include <algorithm>

#include "channels/track_labels.h"
#include "resources/resource_ids.h"

namespace {

AudioCodec SoundPinCodec(StreamCodec codec)
{
    switch (codec) {
    case StreamCodec::AacAdts: return AudioCodec::Aac;
    case StreamCodec::AacLatm: return AudioCodec::AacLatm;
    case StreamCodec::Eac3: return AudioCodec::Eac3;
    default: return AudioCodec::Mpeg;
    }
}

void AddDescribed(ServiceStreams& streams, std::int32_t pid, AudioCodec codec)
{
    if (pid == 0)
        return;
    AudioTrack track{};
    track.pid = pid;
    track.codec = codec;
    AddAudioTrack(streams, track);
}

}  // namespace

ServiceStreams ListedStreams(const Chaine& channel)
{
    if (channel.Streams.audioCount > 0)
        return channel.Streams;
    ServiceStreams streams = channel.Streams;
    AddDescribed(streams, channel.Son1, SoundPinCodec(channel.Son1Codec));
    AddDescribed(streams, channel.Son2, SoundPinCodec(channel.Son2Codec));
    AddDescribed(streams, channel.Ac3, channel.Ac3Codec == StreamCodec::Eac3 ? AudioCodec::Eac3 : AudioCodec::Ac3);
    return streams;
}

TrackRoute RouteOf(AudioCodec codec)
{
    switch (codec) {
    case AudioCodec::Ac3: return {PlayingPin::Ac3, StreamCodec::Classic};
    case AudioCodec::Eac3: return {PlayingPin::Ac3, StreamCodec::Eac3};
    case AudioCodec::Aac: return {PlayingPin::Audio, StreamCodec::AacAdts};
    case AudioCodec::AacLatm: return {PlayingPin::Audio, StreamCodec::AacLatm};
    case AudioCodec::Mpeg:
    default: return {PlayingPin::Audio, StreamCodec::Classic};
    }
}

HeardTrack HeardAfterChoice(const Chaine& channel, std::int32_t pid, PlayingPin pin)
{
    HeardTrack heard;
    if (pin == PlayingPin::Ac3) {
        if (pid == channel.Ac3 && channel.Son1 != 0)
            heard.ac3 = true;
        else
            heard.otherPid = pid;
    } else if (pid != channel.Son1) {
        if (pid == channel.Son2)
            heard.second = true;
        else
            heard.otherPid = pid;
    }
    heard.otherPin = heard.otherPid != 0 ? pin : PlayingPin::Audio;
    return heard;
}

std::int32_t HeardPid(const Chaine& channel, const HeardTrack& heard)
{
    if (heard.otherPid != 0)
        return heard.otherPid;
    if (heard.ac3)
        return channel.Ac3;
    return heard.second ? channel.Son2 : channel.Son1;
}

PlayingPin HeardPin(const HeardTrack& heard)
{
    if (heard.otherPid != 0)
        return heard.otherPin;
    return heard.ac3 ? PlayingPin::Ac3 : PlayingPin::Audio;
}

std::vector<TrackMenuItem> AudioMenuItems(const ServiceStreams& streams, std::int32_t heardPid)
{
    std::vector<TrackMenuItem> items;
    const std::size_t count = std::min<std::size_t>({streams.audioCount, kMaxAudioTracks, AUDIO_TRACK_ITEMS});
    for (std::size_t i = 0; i < count; ++i)
        items.push_back({static_cast<unsigned>(IDM_AUDIO_FIRST + i), AudioTrackLabel(streams, i),
                         heardPid != 0 && streams.audio[i].pid == heardPid, true});
    if (items.empty())
        items.push_back({IDM_AUDIO_FIRST, L"Aucune piste", false, false});
    return items;
}

std::vector<TrackMenuItem> SubtitleMenuItems(const ServiceStreams& streams, int shown)
{
    std::vector<TrackMenuItem> items;
    items.push_back({IDM_SUBTITLES_NONE, L"Aucun", shown < 0, true});
    const std::size_t count =
        std::min<std::size_t>({streams.subtitleCount, kMaxSubtitleTracks, SUBTITLE_TRACK_ITEMS});
    for (std::size_t i = 0; i < count; ++i)
        items.push_back({static_cast<unsigned>(IDM_SUBTITLES_FIRST + i), SubtitleTrackLabel(streams.subtitles[i]),
                         static_cast<int>(i) == shown, true});
    return items;
}
