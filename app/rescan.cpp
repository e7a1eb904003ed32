#include "app/rescan.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/channel_list_update.h"
#include "app/channel_switching.h"
#include "app/recording_guard.h"
#include "app/rescan_report.h"
#include "app/scan.h"
#include "app/shell_state.h"
#include "channels/channel_choices.h"
#include "channels/scan_rules.h"
#include "common/error_message.h"
#include "resources/resource_ids.h"

namespace {

constexpr wchar_t kCaption[] = L"Rechercher les cha\u00eenes";

void Tell(const wchar_t* text)
{
    MessageBoxW(mainWindow, text, kCaption, MB_OK | MB_ICONINFORMATION);
}

// The channel to play after the scan: the one played before when the scan found
// it again, else the first shown one.
std::int32_t ChannelAfterScan(const std::vector<ChannelChoice>& choices, const ServiceKey* before)
{
    if (before) {
        const auto same = std::find_if(choices.begin(), choices.end(),
                                       [&](const ChannelChoice& c) { return c.key == *before; });
        if (same != choices.end())
            return static_cast<std::int32_t>(same - choices.begin());
    }
    const auto shown = std::find_if(choices.begin(), choices.end(), [](const ChannelChoice& c) { return !c.hidden; });
    return shown != choices.end() ? static_cast<std::int32_t>(shown - choices.begin()) : 0;
}

// The old list stays: the scan moved the tuner, so its channel is tuned again.
void KeepOldList()
{
    const std::int32_t current = currentChannel;
    currentChannel = -1;
    SelectChannel(IsValidChannelIndex(Chaines, current) ? current : 0);
    ResumeGuide();
}

}  // namespace

void RescanChannels()
{
    // A retune would cut the recording's stream.
    if (RecordingHoldsTuner()) {
        ShowError(mainWindow, L"Arr\u00eatez l'enregistrement avant de rechercher les cha\u00eenes.");
        return;
    }
    // The scan's thread reads the tables from the stream the guide reader reads.
    StopGuideForListChange();
    ChannelList scanned;
    std::vector<std::uint8_t> nit;
    const bool completed = ScanInDialog(IDD_RESCAN, scanned, nit);
    if (scanCloseRequested) {
        // Nothing is put in place: the close request is answered now that the
        // scan's thread has ended.
        PostMessageW(mainWindow, WM_CLOSE, 0, 0);
        return;
    }
    if (completed && !scanned.empty())
        FinishScan(scanned, &nit);
    if (!completed || scanned.empty()) {
        KeepOldList();
        Tell(completed ? L"La recherche n'a trouv\u00e9 aucune cha\u00eene : la liste des cha\u00eenes reste celle "
                         L"d'avant."
                       : L"Recherche annul\u00e9e : la liste des cha\u00eenes reste celle d'avant.");
        return;
    }

    const std::vector<ChannelChoice> old = ChoicesInStep();
    const ScanMerge merge = MergeScan(old, scanned);
    ChannelList ordered;
    ordered.reserve(merge.order.size());
    for (const std::size_t s : merge.order)
        ordered.push_back(scanned[s]);
    const ServiceKey* before =
        IsValidChannelIndex(Chaines, currentChannel) ? &old[static_cast<std::size_t>(currentChannel)].key : nullptr;
    const std::int32_t next = ChannelAfterScan(merge.choices, before);

    // The file being replaced is the user's last good list: kept beside.
    CopyFileW(L"chaines.xml", L"chaines.xml.bak", FALSE);
    PutChannelListInPlace(std::move(ordered), merge.choices, next, true);
    Tell(RescanReport(merge).c_str());
}
