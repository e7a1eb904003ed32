#include "app/audio_tracks.h"

#include <windows.h>

#include "app/audio_track_menu.h"
#include "app/menu_state.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
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

// The "son" pin takes the codec of the track about to be mapped on it: the two
// tracks of a service need not share one (MPEG audio and AAC, say).
void MatchAudioPin(const Chaine& channel, StreamCodec codec)
{
    MatchPinCodecs({channel.VideoCodec, codec, std::nullopt});
}

}  // namespace

void SelectFirstAudioTrack()
{
    const Chaine* channel = CurrentChannel();
    if (!channel)
        return;
    if (secondAudioActive) {
        UnmapPid(audioPidMap.Get(), channel->Son2);
        MatchAudioPin(*channel, channel->Son1Codec);
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
    UnmapPid(audioPidMap.Get(), channel->Son1);
    MatchAudioPin(*channel, channel->Son2Codec);
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
