#include "app/channel_switching.h"

#include "app/menu_state.h"
#include "app/playback_commands.h"
#include "app/recording_guard.h"
#include "app/shell_state.h"
#include "app/status_bar.h"
#include "app/track_menus.h"
#include "channels/chaine.h"
#include "graph/channel_switch.h"
#include "graph/tuning.h"
#include "guide/guide_reader.h"

void SelectChannel(std::int32_t index)
{
    if (!IsValidChannelIndex(Chaines, index))
        return;
    if (RefuseRetuneWhileTimerRecords(index))
        return;
    const auto plan = PlanChannelSwitch(Chaines, currentChannel, index);
    if (!plan)
        return;
    // Another codec stops the graph for the while, which would cut the recording.
    if (RefuseGraphStopWhileRecording(
            {plan->videoCodec, plan->audioCodec, plan->ac3Codec, plan->audioPid, plan->ac3Pid}, kChannelNeedsStop))
        return;

    // Another channel is live television again: a file or a pause ends here.
    EndPlayback();
    ApplyChannelSwitch(*plan);
    currentChannel = index;
    WatchGuideChannel(index);
    ac3Active = false;
    secondAudioActive = false;

    SetRecordingState(recording);
    UpdateAudioTrackMenu();
    OnChannelTracksChanged();
    ShowChannelInfo();
}

void SelectChannelByNumber(std::int32_t number)
{
    const int index = FindByNumero(Chaines, number);
    if (index >= 0)
        SelectChannel(index);
}
