#include "app/audio_track_choice.h"

#include <windows.h>

#include <string>

#include "app/recording_guard.h"
#include "app/shell_state.h"
#include "app/track_menu_model.h"
#include "channels/chaine.h"
#include "common/error_message.h"
#include "graph/codec_pins.h"
#include "graph/graph_handles.h"
#include "graph/tuning.h"
#include "resources/resource_ids.h"

namespace {

// The track the described commands do not name, when one is heard.
std::int32_t otherPid;
PlayingPin otherPin = PlayingPin::Audio;

const Chaine* CurrentChannel()
{
    if (!IsValidChannelIndex(Chaines, currentChannel))
        return nullptr;
    return &Chaines[static_cast<std::size_t>(currentChannel)];
}

HeardTrack Heard()
{
    HeardTrack heard;
    heard.second = secondAudioActive;
    heard.ac3 = ac3Active;
    heard.otherPid = otherPid;
    heard.otherPin = otherPin;
    return heard;
}

IMPEG2PIDMap* PidMapOf(PlayingPin pin)
{
    return pin == PlayingPin::Ac3 ? ac3PidMap.Get() : audioPidMap.Get();
}

// What the pins must carry for `pid` on `pin`. A track that the AC-3 command
// names leaves the sound pin with the first track's codec, as that command
// expects to find it when it goes back to the first track.
PinCodecs WantedCodecs(const Chaine& channel, std::int32_t pid, PlayingPin pin, StreamCodec codec,
                       const HeardTrack& after)
{
    PinCodecs wanted{channel.VideoCodec, std::nullopt, std::nullopt, 0, 0};
    if (pin == PlayingPin::Ac3) {
        wanted.ac3 = codec;
        wanted.ac3Pid = pid;
        if (after.ac3) {
            wanted.audio = channel.Son1Codec;
            wanted.audioPid = channel.Son1;
        }
    } else {
        wanted.audio = codec;
        wanted.audioPid = pid;
    }
    return wanted;
}

}  // namespace

std::int32_t HeardAudioPid()
{
    const Chaine* channel = CurrentChannel();
    return channel ? HeardPid(*channel, Heard()) : 0;
}

bool OtherAudioTrackHeard()
{
    return otherPid != 0;
}

bool SelectAudioTrack(std::int32_t pid, PlayingPin pin, StreamCodec codec, ChoiceMode mode)
{
    const Chaine* channel = CurrentChannel();
    if (!channel || pid == 0 || !audioPidMap || (pin == PlayingPin::Ac3 && !ac3PidMap))
        return false;
    const HeardTrack before = Heard();
    if (pid == HeardPid(*channel, before) && pin == HeardPin(before))
        return true;
    const HeardTrack after = HeardAfterChoice(*channel, pid, pin);
    const PinCodecs wanted = WantedCodecs(*channel, pid, pin, codec, after);

    // Without its decoder an AC-3 track would be silent: the sound heard stays.
    // (The sound pin's own decoder is reported by the pin's reconnection.)
    const std::wstring missing = pin == PlayingPin::Ac3 ? MissingDecoderMessage(pin, codec) : std::wstring();
    if (!missing.empty()) {
        if (mode == ChoiceMode::User)
            ShowError(mainWindow, missing.c_str());
        return false;
    }
    if (mode == ChoiceMode::Preference ? recording && PinsToReconnectFor(wanted) > 0
                                       : RefuseGraphStopWhileRecording(wanted, kTrackNeedsStop))
        return false;

    UnmapPid(PidMapOf(HeardPin(before)), HeardPid(*channel, before));
    if (MatchPinCodecs(wanted) > 0)
        RetuneCurrentFrequency();
    MapElementaryStream(PidMapOf(pin), pid);
    secondAudioActive = after.second;
    ac3Active = after.ac3;
    otherPid = after.otherPid;
    otherPin = after.otherPin;
    return true;
}

void ForgetChosenAudioTrack()
{
    otherPid = 0;
    otherPin = PlayingPin::Audio;
}

bool DescribedCommandFromOtherTrack(int command)
{
    const Chaine* channel = CurrentChannel();
    if (otherPid == 0 || !channel)
        return false;
    switch (command) {
    case IDM_FIRST_AUDIO:
        SelectAudioTrack(channel->Son1, PlayingPin::Audio, channel->Son1Codec, ChoiceMode::User);
        break;
    case IDM_SECOND_AUDIO:
        if (channel->Son2 != 0)
            SelectAudioTrack(channel->Son2, PlayingPin::Audio, channel->Son2Codec, ChoiceMode::User);
        break;
    case IDM_AC3_TRACK:
        if (channel->Ac3 != 0 && channel->Son1 != 0)
            SelectAudioTrack(channel->Ac3, PlayingPin::Ac3, channel->Ac3Codec, ChoiceMode::User);
        break;
    default: return false;
    }
    return true;
}
