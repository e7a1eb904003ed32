#include "app/track_menus.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/audio_track_choice.h"
#include "app/menu_bar.h"
#include "app/menu_state.h"
#include "app/shell_state.h"
#include "app/subtitle_output.h"
#include "app/track_menu_model.h"
#include "channels/chaine.h"
#include "channels/track_labels.h"
#include "common/error_message.h"
#include "config/settings.h"
#include "resources/resource_ids.h"

namespace {

int shownSubtitle = -1;  // the track on screen, -1 for none
int lastSubtitle = -1;   // the last choice made, where S goes on from

const Chaine* CurrentChannel()
{
    if (!IsValidChannelIndex(Chaines, currentChannel))
        return nullptr;
    return &Chaines[static_cast<std::size_t>(currentChannel)];
}

// The pop-up that directly holds the item `id`, searched two levels down.
HMENU PopupHolding(HMENU menu, UINT id, int depth = 0)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        HMENU popup = GetSubMenu(menu, i);
        if (!popup)
            continue;
        const int items = GetMenuItemCount(popup);
        for (int j = 0; j < items; ++j)
            if (GetMenuItemID(popup, j) == id)
                return popup;
        if (depth < 1)
            if (HMENU found = PopupHolding(popup, id, depth + 1))
                return found;
    }
    return nullptr;
}

void Fill(HMENU popup, const std::vector<TrackMenuItem>& items)
{
    if (!popup || items.empty())
        return;
    while (GetMenuItemCount(popup) > 0)
        DeleteMenu(popup, 0, MF_BYPOSITION);
    for (const TrackMenuItem& item : items)
        AppendMenuW(popup, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.id, item.text.c_str());
    for (const TrackMenuItem& item : items)
        if (item.checked)
            CheckMenuRadioItem(popup, items.front().id, items.back().id, item.id, MF_BYCOMMAND);
}

void ShowSubtitleChoice(int index)
{
    const Chaine* channel = CurrentChannel();
    lastSubtitle = index;
    if (index < 0 || !channel) {
        HideSubtitles();
        shownSubtitle = -1;
        return;
    }
    std::wstring why;
    if (ShowSubtitles(*channel, index, why)) {
        shownSubtitle = index;
        return;
    }
    shownSubtitle = -1;
    if (why.empty())
        why = L"Ces sous-titres ne peuvent pas \u00eatre affich\u00e9s.";
    ShowError(mainWindow, why.c_str());
}

void ChooseSubtitles(int index)
{
    ShowSubtitleChoice(index);
    UpdateTrackMenus();
}

void ChooseAudio(std::size_t index)
{
    const Chaine* channel = CurrentChannel();
    if (!channel)
        return;
    const ServiceStreams listed = ListedStreams(*channel);
    if (index >= listed.audioCount || index >= kMaxAudioTracks)
        return;
    const AudioTrack& track = listed.audio[index];
    const TrackRoute route = RouteOf(track.codec);
    SelectAudioTrack(track.pid, route.pin, route.codec, ChoiceMode::User);
    UpdateTrackMenus();
}

// The described "Première piste audio" is offered while a track it does not
// name is heard, and none of the three is checked then.
void UpdateDescribedItems(HMENU menu)
{
    if (!OtherAudioTrackHeard())
        return;
    for (UINT id : {IDM_FIRST_AUDIO, IDM_SECOND_AUDIO, IDM_AC3_TRACK})
        CheckMenuItem(menu, id, MF_BYCOMMAND | MF_UNCHECKED);
    EnableMenuItem(menu, IDM_FIRST_AUDIO, MF_BYCOMMAND | MF_ENABLED);
}

}  // namespace

void UpdateTrackMenus()
{
    UpdateAudioTrackMenu();
    HMENU menu = MenuBar();
    const Chaine* channel = CurrentChannel();
    if (!menu || !channel)
        return;
    const ServiceStreams listed = ListedStreams(*channel);
    Fill(PopupHolding(menu, IDM_AUDIO_FIRST), AudioMenuItems(listed, HeardAudioPid()));
    Fill(PopupHolding(menu, IDM_SUBTITLES_NONE), SubtitleMenuItems(channel->Streams, shownSubtitle));
    UpdateDescribedItems(menu);
}

void OnChannelTracksChanged()
{
    ForgetChosenAudioTrack();
    HideSubtitles();
    shownSubtitle = lastSubtitle = -1;
    if (const Chaine* channel = CurrentChannel()) {
        const TrackPreferences& prefs = trackPreferences;
        const ServiceStreams listed = ListedStreams(*channel);
        const int audio = ChooseAudioTrack(listed, prefs.audio, prefs.language);
        if (audio >= 0) {
            const TrackRoute route = RouteOf(listed.audio[audio].codec);
            SelectAudioTrack(listed.audio[audio].pid, route.pin, route.codec, ChoiceMode::Preference);
        }
        const int subtitles = ChooseSubtitleTrack(channel->Streams, prefs.subtitles, prefs.language);
        if (subtitles >= 0)
            ShowSubtitleChoice(subtitles);
    }
    UpdateTrackMenus();
}

bool OnTrackCommand(int id)
{
    if (id >= IDM_AUDIO_FIRST && id < IDM_AUDIO_FIRST + AUDIO_TRACK_ITEMS) {
        ChooseAudio(static_cast<std::size_t>(id - IDM_AUDIO_FIRST));
        return true;
    }
    const Chaine* channel = CurrentChannel();
    if (id == IDM_SUBTITLES_NONE) {
        ChooseSubtitles(-1);
        return true;
    }
    if (id >= IDM_SUBTITLES_FIRST && id < IDM_SUBTITLES_FIRST + SUBTITLE_TRACK_ITEMS) {
        const int index = id - IDM_SUBTITLES_FIRST;
        if (channel && index < channel->Streams.subtitleCount)
            ChooseSubtitles(index);
        return true;
    }
    if (id == IDM_SUBTITLES_NEXT) {
        if (channel)
            ChooseSubtitles(NextSubtitleChoice(channel->Streams, lastSubtitle));
        return true;
    }
    return false;
}
