#include "app/audio_track_menu.h"

AudioTrackMenu AudioTrackMenuStates(bool ac3Active, bool secondAudioActive, std::int32_t son2, std::int32_t ac3)
{
    if (ac3Active)
        return {ItemState::Enabled, ItemState::Grey, ItemState::CheckedGrey};
    if (secondAudioActive)
        return {ItemState::Enabled, ItemState::CheckedGrey, ItemState::Grey};
    return {ItemState::CheckedGrey, son2 != 0 ? ItemState::Enabled : ItemState::Grey,
            ac3 != 0 ? ItemState::Enabled : ItemState::Grey};
}
