#include "app/main_window.h"

#include "app/audio_track_choice.h"
#include "app/audio_tracks.h"
#include "app/channel_keys.h"
#include "app/channel_switching.h"
#include "app/config_dialog.h"
#include "app/context_menu.h"
#include "app/guide_window.h"
#include "app/mouse_gestures.h"
#include "app/now_playing.h"
#include "app/organise_channels.h"
#include "app/playback_bar.h"
#include "app/playback_commands.h"
#include "app/priority.h"
#include "app/property_pages.h"
#include "app/recording_commands.h"
#include "app/rescan.h"
#include "app/scan.h"
#include "app/shell_state.h"
#include "app/startup.h"
#include "app/status_bar.h"
#include "app/timer_list.h"
#include "app/timer_runner.h"
#include "app/track_menus.h"
#include "app/video_placement.h"
#include "app/window_modes.h"
#include "app/window_on_top.h"
#include "channels/chaine.h"
#include "config/settings.h"
#include "graph/graph_handles.h"
#include "graph/signal_dialog.h"
#include "guide/guide_dialog.h"
#include "common/error_message.h"
#include "guide/guide_reader.h"
#include "guide/schedule_reader.h"
#include "record/recorder.h"
#include "resources/playback_ids.h"
#include "resources/resource_ids.h"
#include "ui/about_dialog.h"

namespace {

void CloseProgram()
{
    // The buffer's file goes and the live pins get their PIDs before the graph goes.
    EndPlayback();
    ShutDownGraph(true);
    DestroyWindow(mainWindow);
}

void ChangePriority(int command)
{
    SetPriority(command);
    SaveSettings(currentChannel);
}

// Modal dialogs opened from full screen need the cursor, hidden there.
void ShowModalWithCursor(int dialogId, DLGPROC procedure)
{
    ShowCursor(TRUE);
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(dialogId), mainWindow, procedure, 0);
    ShowCursor(FALSE);
}

// The property frame is modal too, and needs the cursor the same way.
void ShowPropertiesWithCursor(int command)
{
    ShowCursor(TRUE);
    ShowFilterPropertyPages(command);
    ShowCursor(FALSE);
}

void ShowGuideWindowWithCursor()
{
    ShowCursor(TRUE);
    ShowGuideWindow(mainWindow);
    ShowCursor(FALSE);
}

void ShowTimerListWithCursor()
{
    ShowCursor(TRUE);
    ShowTimerList(mainWindow);
    ShowCursor(FALSE);
}

void ChangeAlwaysOnTop()
{
    ToggleAlwaysOnTop();
    SaveSettings(currentChannel);
}

void ChangeNowPlaying()
{
    // Switched on, the channel's information is shown again, which announces it.
    if (ToggleNowPlaying() && IsValidChannelIndex(Chaines, currentChannel))
        ShowChannelInfo();
    SaveSettings(currentChannel);
}

// Ctrl+1, Ctrl+2, Ctrl+3 as described, unless the "Audio" menu chose a track
// none of them names: then they are carried out from that track.
void DescribedTrackCommand(int id)
{
    if (!DescribedCommandFromOtherTrack(id)) {
        if (id == IDM_FIRST_AUDIO)
            SelectFirstAudioTrack();
        else if (id == IDM_SECOND_AUDIO)
            SelectSecondAudioTrack();
        else
            SelectAc3Track();
    }
    UpdateTrackMenus();
}

void OnCommand(int id)
{
    switch (id) {
    case IDM_CONFIGURATION:
        // The configuration may rebuild the graph, and a scan retunes: live
        // television comes back first.
        EndPlayback();
        ShowModalWithCursor(IDD_CONFIG, ConfigDialogProc);
        break;
    case IDM_PROPS_VIDEO:
    case IDM_PROPS_AUDIO:
    case IDM_PROPS_AC3:
    case IDM_PROPS_VMR:
    case IDM_PROPS_DSOUND:
    case IDM_PROPS_DSOUND_AC3:
    case IDM_PROPS_DEMUX: ShowPropertiesWithCursor(id); break;
    case IDM_SIGNAL: ShowModalWithCursor(IDD_SIGNAL, SignalDialogProc); break;
    case IDM_RESCAN:
        EndPlayback();
        RescanChannels();
        break;
    case IDM_ORGANISE: OrganiseChannels(); break;
    case IDM_GUIDE: ShowModalWithCursor(IDD_GUIDE, GuideDialogProc); break;
    case IDM_GUIDE_GRID: ShowGuideWindowWithCursor(); break;
    case IDM_TIMERS: ShowTimerListWithCursor(); break;
    case IDM_QUIT: CloseProgram(); break;
    case IDM_ABOUT: ShowModalWithCursor(IDD_ABOUT, AboutDialogProc); break;
    case IDM_ALWAYS_ON_TOP: ChangeAlwaysOnTop(); break;
    case IDM_FULL_SCREEN: ToggleFullScreen(); break;
    case IDM_NOW_PLAYING: ChangeNowPlaying(); break;
    case IDM_FIRST_AUDIO:
    case IDM_SECOND_AUDIO:
    case IDM_AC3_TRACK: DescribedTrackCommand(id); break;
    case IDM_MUTE: ToggleMute(); break;
    case IDM_RECORD_SERVICE: RecordCurrentService(); break;
    case IDM_RECORD_MULTIPLEX: RecordMultiplex(); break;
    case IDM_STOP_RECORDING: StopRecordingCommand(); break;
    case IDM_SNAPSHOT: TakeSnapshotCommand(); break;
    case IDM_VIDEO_FOLDER: ChooseVideoFolder(); break;
    case IDM_SNAPSHOT_FOLDER: ChooseSnapshotFolder(); break;
    case IDM_PLAY_FILE: PlayRecordingCommand(); break;
    case IDM_PLAYBACK_PAUSE:
    case IDC_PLAYBACK_PLAY: PlaybackPauseCommand(); break;
    case IDM_PLAYBACK_DIRECT:
    case IDC_PLAYBACK_DIRECT: BackToLiveCommand(); break;
    case IDM_PRIORITY_HIGH:
    case IDM_PRIORITY_ABOVE:
    case IDM_PRIORITY_NORMAL:
    case IDM_PRIORITY_BELOW: ChangePriority(id); break;
    default:
        if (OnTrackCommand(id))
            break;
        // Channel items carry the channel's index.
        if (IsValidChannelIndex(Chaines, id))
            SelectChannel(id);
        break;
    }
}

void OnSize(WPARAM wParam, LPARAM lParam)
{
    if (statusBar) {
        SendMessageW(statusBar, WM_SIZE, wParam, lParam);
        LayoutStatusBar();
    }
    PlaceVideo();
}

void OnPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (windowlessControl)
        windowlessControl->RepaintVideo(window, dc);
    EndPaint(window, &ps);
}

void OnTimer(WPARAM timerId)
{
    if (timerId == TIMER_CHANNEL_NUMBER)
        OnTypedNumberTimer();
    else if (timerId == TIMER_SINGLE_CLICK)
        OnSingleClickTimer();
    else if (timerId == TIMER_PLAYBACK)
        OnPlaybackTimer();
}

// The guide reader stored new events of the current channel.
void OnGuideUpdated()
{
    AcknowledgeGuideUpdate();
    if (IsValidChannelIndex(Chaines, currentChannel))
        ShowChannelInfo();
    TimerRunnerGuideChanged();
}

bool IsRefusedSystemCommand(WPARAM wParam)
{
    const WPARAM command = wParam & 0xFFF0;
    return command == SC_SCREENSAVE || command == SC_MONITORPOWER;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        mainWindow = window;
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        OnSize(wParam, lParam);
        return 0;
    case WM_SETFOCUS:
        // The press that activates the window is no click.
        lastActivationTick = GetTickCount();
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_DISPLAYCHANGE:
        if (windowlessControl)
            windowlessControl->DisplayModeChanged();
        return 0;
    case WM_CLOSE:
        // The scan dispatches messages while it waits: the graph it uses must
        // outlive it, so a close request then cuts the scan short first, and the
        // program closes once the scan's thread is gone.
        if (scanPending) {
            EndPlayback();
            CloseDuringScan();
        }
        else
            CloseProgram();
        return 0;
    case WM_KEYDOWN:
        if (!OnPlaybackKey(wParam))
            OnChannelKey(wParam);
        return 0;
    case WM_MOUSEWHEEL:
        OnChannelWheel(wParam);
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        ShowContextMenu(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(lParam);
        return 0;
    case WM_LBUTTONUP:
        OnLeftButtonUp(lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLeftDoubleClick();
        return 0;
    case WM_MOUSEMOVE:
        DragWindow(wParam, lParam);
        return 0;
    case WM_SYSCOMMAND:
        // The picture must stay on: refuse the screen saver and monitor power-off.
        if (IsRefusedSystemCommand(wParam))
            return 0;
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_GUIDE_UPDATED:
        OnGuideUpdated();
        return 0;
    case WM_GUIDE_NOTICE:
        if (const std::wstring notice = TakeGuideNotice(); !notice.empty())
            ShowError(window, notice.c_str());
        return 0;
    case WM_ENTERIDLE:
        // The scan dialog's modal loop has fallen idle: the scan runs from here.
        if (wParam == MSGF_DIALOGBOX)
            OnScanDialogIdle(reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_PLAYBACK_SEEK:
        OnPlaybackSeek(wParam);
        return 0;
    case WM_TIMESHIFT_FAILED:
        OnTimeShiftFailed(wParam);
        return 0;
    case WM_RECORDING_FAILED:
        OnRecordingFailure(wParam, lParam);
        return 0;
    case WM_TIMER_RUNNER_NOTICE:
        ShowTimerRunnerNotices();
        return 0;
    case WM_TIMECHANGE:
        TimerRunnerClockChanged();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC)
            TimerRunnerClockChanged();
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
