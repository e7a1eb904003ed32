#include "app/startup.h"

#include <windows.h>

#include <ctime>
#include <filesystem>

#include "app/channel_menu.h"
#include "app/channel_switching.h"
#include "app/config_dialog.h"
#include "app/now_playing.h"
#include "app/priority.h"
#include "app/program_timers.h"
#include "app/scan.h"
#include "app/shell_state.h"
#include "app/timer_runner.h"
#include "app/window_on_top.h"
#include "channels/chaine.h"
#include "channels/channel_file_win.h"
#include "common/error_message.h"
#include "common/text_convert.h"
#include "config/settings.h"
#include "graph/devices.h"
#include "graph/graph.h"
#include "graph/graph_handles.h"
#include "graph/transport_tap.h"
#include "guide/guide_database.h"
#include "guide/guide_reader.h"
#include "guide/schedule_reader.h"
#include "record/recorder.h"

namespace {

// The tuner named in the settings; when it is not found, the user chooses in the
// configuration dialog and the tuner is looked up once more, whichever way the
// dialog ended: a USB tuner plugged in while the dialog was up answers to the
// name it already had, so "Annuler" is a fair answer then. 0 when found,
// otherwise start-up's failure code.
int FindConfiguredTuner()
{
    if (DetectTuner())
        return 0;
    const ConfigResult choice = RunConfigDialog();
    // A close request to the main window ends the dialog with it: the program is
    // on its way out, and nothing more is to be started.
    if (!IsWindow(mainWindow))
        return kStartUpCancelled;
    if (DetectTuner())
        return 0;
    if (choice == kConfigCancelled)
        return kStartUpCancelled;
    // An empty tuner list gives nothing to name; a tuner the user just confirmed
    // and that still does not answer deserves a word.
    if (choice == kConfigConfirmedWithTuner)
        ShowError(mainWindow, L"Le tuner TNT choisi est introuvable");
    return 1;
}

// The channel list from chaines.xml, or from a scan when there is no usable file.
bool LoadChannels()
{
    if (LoadChannelFile())
        return true;
    if (RunScan() == 0)
        return true;
    // Closed during the scan: nothing to report, the program is on its way out.
    if (!scanCloseRequested)
        ShowError(mainWindow, L"Aucune chaine n'a \u00e9t\u00e9 trouv\u00e9e");
    return false;
}

std::int32_t FirstChannel()
{
    return IsValidChannelIndex(Chaines, startChannelIndex) ? startChannelIndex : 0;
}

}  // namespace

int StartUp()
{
    LoadSettings();
    SetPriority(priorityCommand);
    // guide.db sits beside config.ini; the program runs whatever becomes of it.
    // Its notice is posted, not shown here: a message box now would hold the
    // start until the user answers it.
    std::error_code ignored;
    if (const std::string notice = OpenGuideDatabase(std::filesystem::current_path(ignored), std::time(nullptr));
        !notice.empty())
        PostGuideNotice(mainWindow, notice);
    // The timers share guide.db; a notice of theirs only repeats the guide's
    // when the file itself failed, and the guide's notice is given once.
    if (const std::string notice = OpenProgramTimers(std::filesystem::current_path(ignored)); !notice.empty())
        PostGuideNotice(mainWindow, notice);
    if (const int tuner = FindConfiguredTuner(); tuner != 0)
        return tuner;
    if (const int built = BuildGraph(mainWindow); built != 0)
        return built;
    if (!LoadChannels())
        return 1;
    if (Chaines.empty()) {
        ShowError(mainWindow, L"Aucune chaine n'est dans le fichier");
        return 1;
    }
    BuildChannelMenu();
    UpdateNowPlayingMenu();
    DrawMenuBar(mainWindow);
    // The toggle inverts the flag back while it applies it.
    alwaysOnTop = !alwaysOnTop;
    ToggleAlwaysOnTop();

    typedNumber = 0;
    SelectChannel(FirstChannel());
    // The channel list is complete and stays as it is from here on: the guide
    // reader may keep events in its records.
    StartGuideReader(mpeg2Data.Get(), Chaines, currentChannel, mainWindow,
                     TransportTapInstalled() ? &tapSections : nullptr);
    // The whole schedule and the clock come only from the tap: the
    // sections-and-tables filter would need a stream per table.
    if (TransportTapInstalled())
        StartScheduleReader(tapSections, Chaines, mainWindow);
    // The channels and the graph are ready: what the timers missed while the
    // program was closed is settled, then they run.
    StartTimerRunner(mainWindow);
    return 0;
}

void ShutDownGraph(bool saveSettings)
{
    if (saveSettings)
        SaveSettings(currentChannel);
    // The guide reader waits on streams of the sections-and-tables filter and
    // writes into buffers those streams hold: it ends, and its streams go, before
    // anything of the graph is released.
    StopGuideReader();
    // It writes what it still holds to guide.db before the store closes.
    StopScheduleReader();
    // Its recordings' files close below with the recorder's.
    StopTimerRunner();
    CloseProgramTimers();
    CloseGuideDatabase();
    DestroyGraph();
    // The graph no longer runs: a recording's file can be closed and its callback go.
    ReleaseRecorder();
}
