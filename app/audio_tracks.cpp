#include "app/audio_tracks.h"

#include <windows.h>

#include <string>

#include "app/audio_track_menu.h"
#include "app/menu_state.h"
#include "app/recording_guard.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "common/error_message.h"
#include "graph/codec_pins.h"
#include "graph/graph_handles.h"
#include "graph/tuning.h"

namespace {

constexpr long kFullVolume = 0;
constexpr long kSilence = -10000;  // hundredths of a decibel

bool muted;

const Chaine* CurrentChannel()
{
    if (!IsValidChannelIndex(Chaines, currentChannel))
        return nullptr;
    return &Chaines[static_cast<std::size_t>(currentChannel)];
}

AudioTrackMenu OfferedTracks(const Chaine& channel)
{
    return AudioTrackMenuStates(ac3Active, secondAudioActive, channel.Son2, channel.Ac3);
}

void SetVolume(IBaseFilter* renderer, long volume)
{
    if (!renderer)
        return;
    ComPtr<IBasicAudio> audio;
    if (SUCCEEDED(renderer->QueryInterface(IID_IBasicAudio, audio.PutVoid())) && audio)
        audio->put_Volume(volume);
}

PinCodecs AudioPinCodecs(const Chaine& channel, StreamCodec codec, std::int32_t pid)
{
    return {channel.VideoCodec, codec, std::nullopt, pid, 0};
}

// The "son" pin takes the codec of the track about to be mapped on it: the two
// tracks of a service need not share one (MPEG audio and AAC, say). A change of
// codec stops the graph, after which the tuner is tuned again.
void MatchAudioPin(const Chaine& channel, StreamCodec codec, std::int32_t pid)
{
    if (MatchPinCodecs(AudioPinCodecs(channel, codec, pid)) > 0)
        RetuneCurrentFrequency();
}

// While recording, a track of another codec is refused rather than stopping the graph.
bool RefusedWhileRecording(const Chaine& channel, StreamCodec codec, std::int32_t pid)
{
    return RefuseGraphStopWhileRecording(AudioPinCodecs(channel, codec, pid), kTrackNeedsStop);
}

}  // namespace

void SelectFirstAudioTrack()
{
    const Chaine* channel = CurrentChannel();
    if (!channel)
        return;
    if (secondAudioActive) {
        if (RefusedWhileRecording(*channel, channel->Son1Codec, channel->Son1))
            return;
        UnmapPid(audioPidMap.Get(), channel->Son2);
        MatchAudioPin(*channel, channel->Son1Codec, channel->Son1);
        MapElementaryStream(audioPidMap.Get(), channel->Son1);
        secondAudioActive = false;
    }
    if (ac3Active) {
        UnmapPid(ac3PidMap.Get(), channel->Ac3);
        MapElementaryStream(audioPidMap.Get(), channel->Son1);
        ac3Active = false;
    }
    UpdateAudioTrackMenu();
}

void SelectSecondAudioTrack()
{
    const Chaine* channel = CurrentChannel();
    if (!channel || !audioPidMap || channel->Son1 == 0 || !IsOffered(OfferedTracks(*channel).secondTrack))
        return;
    if (RefusedWhileRecording(*channel, channel->Son2Codec, channel->Son2))
        return;
    UnmapPid(audioPidMap.Get(), channel->Son1);
    MatchAudioPin(*channel, channel->Son2Codec, channel->Son2);
    MapElementaryStream(audioPidMap.Get(), channel->Son2);
    secondAudioActive = true;
    UpdateAudioTrackMenu();
}

void SelectAc3Track()
{
    const Chaine* channel = CurrentChannel();
    if (!channel || !audioPidMap || !ac3PidMap || channel->Son1 == 0 ||
        !IsOffered(OfferedTracks(*channel).ac3Track))
        return;
    // Without its decoder the track would be silent: the sound heard stays.
    const std::wstring missing = MissingDecoderMessage(PlayingPin::Ac3, channel->Ac3Codec);
    if (!missing.empty()) {
        ShowError(mainWindow, missing.c_str());
        return;
    }
    UnmapPid(audioPidMap.Get(), channel->Son1);
    MapElementaryStream(ac3PidMap.Get(), channel->Ac3);
    ac3Active = true;
    UpdateAudioTrackMenu();
}

void ToggleMute()
{
    const long volume = muted ? kFullVolume : kSilence;
    SetVolume(audioRenderer.Get(), volume);
    SetVolume(ac3Renderer.Get(), volume);
    muted = !muted;
}
