#include "app/channel_list_update.h"

#include <windows.h>

#include "app/channel_menu.h"
#include "app/channel_switching.h"
#include "app/shell_state.h"
#include "app/status_bar.h"
#include "channels/channel_file_win.h"
#include "common/error_message.h"
#include "graph/graph_handles.h"
#include "graph/transport_tap.h"
#include "guide/guide_reader.h"

void StopGuideForListChange()
{
    StopGuideReader();
}

void ResumeGuide()
{
    StartGuideReader(mpeg2Data.Get(), Chaines, currentChannel, mainWindow,
                     TransportTapInstalled() ? &tapSections : nullptr);
}

void PutChannelListInPlace(ChannelList list, std::vector<ChannelChoice> choices, std::int32_t current, bool retune)
{
    Chaines = std::move(list);
    ChannelChoices = std::move(choices);
    if (!SaveChannelFile(Chaines, ChannelChoices, L"chaines.xml"))
        ShowError(mainWindow, L"Impossible d'\u00e9crire le fichier chaines.xml : la liste des cha\u00eenes "
                              L"servira jusqu'\u00e0 la fermeture du programme.");
    RebuildChannelMenu();
    if (retune) {
        // The channel switch retunes only across multiplexes; after a scan the
        // tuner is wherever the scan left it.
        currentChannel = -1;
        SelectChannel(IsValidChannelIndex(Chaines, current) ? current : 0);
    } else {
        currentChannel = current;
        if (IsValidChannelIndex(Chaines, currentChannel))
            ShowChannelInfo();
    }
    ResumeGuide();
}

std::vector<ChannelChoice> ChoicesInStep()
{
    std::vector<ChannelChoice> choices = ChoicesOf(Chaines);
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (i < ChannelChoices.size() && ChannelChoices[i].key == choices[i].key)
            choices[i] = ChannelChoices[i];
    return choices;
}
