#include "app/menu_state.h"

#include <windows.h>

#include "app/audio_track_menu.h"
#include "app/menu_bar.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "resources/resource_ids.h"

namespace {

void Apply(HMENU menu, UINT id, ItemState state)
{
    UINT flags = MF_BYCOMMAND;
    switch (state) {
    case ItemState::Enabled: flags |= MF_ENABLED | MF_UNCHECKED; break;
    case ItemState::Grey: flags |= MF_GRAYED | MF_UNCHECKED; break;
    case ItemState::CheckedGrey: flags |= MF_GRAYED | MF_CHECKED; break;
    }
    EnableMenuItem(menu, id, flags & (MF_BYCOMMAND | MF_ENABLED | MF_GRAYED));
    CheckMenuItem(menu, id, flags & (MF_BYCOMMAND | MF_CHECKED | MF_UNCHECKED));
}

}  // namespace

void SetRecordingState(bool on)
{
    if (HMENU menu = MenuBar()) {
        const ItemState record = on ? ItemState::Grey : ItemState::Enabled;
        const ItemState stop = on ? ItemState::Enabled : ItemState::Grey;
        Apply(menu, IDM_RECORD_SERVICE, record);
        Apply(menu, IDM_RECORD_MULTIPLEX, record);
        Apply(menu, IDM_STOP_RECORDING, stop);
    }
    recording = on;
}

void UpdateAudioTrackMenu()
{
    HMENU menu = MenuBar();
    if (!menu || !IsValidChannelIndex(Chaines, currentChannel))
        return;
    const Chaine& channel = Chaines[static_cast<std::size_t>(currentChannel)];
    const AudioTrackMenu states = AudioTrackMenuStates(ac3Active, secondAudioActive, channel.Son2, channel.Ac3);
    Apply(menu, IDM_FIRST_AUDIO, states.firstTrack);
    Apply(menu, IDM_SECOND_AUDIO, states.secondTrack);
    Apply(menu, IDM_AC3_TRACK, states.ac3Track);
}
