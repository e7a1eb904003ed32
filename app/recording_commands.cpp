#include "app/recording_commands.h"

#include "app/audio_track_choice.h"
#include "app/menu_state.h"
#include "app/playback_cover.h"
#include "app/shell_state.h"
#include "app/timer_runner.h"
#include "channels/chaine.h"
#include "config/settings.h"
#include "record/folder_choice.h"
#include "record/recorder.h"
#include "record/snapshot.h"

namespace {

const Chaine* CurrentChannel()
{
    if (!IsValidChannelIndex(Chaines, currentChannel))
        return nullptr;
    return &Chaines[static_cast<std::size_t>(currentChannel)];
}

void ChooseAndSave(wchar_t* folder, const wchar_t* title)
{
    // The browser is modal: in full screen it needs the cursor, hidden there.
    ShowCursor(TRUE);
    const bool chosen = ChooseFolder(mainWindow, folder, kFolderCapacity, title);
    ShowCursor(FALSE);
    if (chosen)
        SaveSettings(currentChannel);
}

}  // namespace

void RecordCurrentService()
{
    const Chaine* channel = CurrentChannel();
    if (recording || !channel)
        return;
    // A track of the "Audio" menu that the described commands do not name is
    // recorded in the first track's place.
    Chaine heard = *channel;
    if (OtherAudioTrackHeard())
        heard.Son1 = HeardAudioPid();
    if (StartServiceRecording(mainWindow, heard, secondAudioActive, ac3Active, videoFolder))
        SetRecordingState(true);
}

void RecordMultiplex()
{
    if (recording)
        return;
    if (StartMultiplexRecording(mainWindow, videoFolder))
        SetRecordingState(true);
}

void StopRecordingCommand()
{
    if (!recording)
        return;
    StopRecording();
    SetRecordingState(false);
}

void TakeSnapshotCommand()
{
    // While the cover stands for the picture (live television paused, a played
    // picture not drawn yet), its still is what the user sees: the renderer
    // under it may have presented later frames, or none.
    if (PlaybackCoverShown()) {
        const CoverStill still = PlaybackCoverStill();
        SaveSnapshot(mainWindow, CurrentChannel(), snapshotFolder, still.image, still.size);
        return;
    }
    TakeSnapshot(mainWindow, CurrentChannel(), snapshotFolder);
}

void ChooseVideoFolder()
{
    ChooseAndSave(videoFolder, L"Choisissez le r\u00e9pertoire o\u00f9 seront enregistr\u00e9es les vid\u00e9os :");
}

void ChooseSnapshotFolder()
{
    ChooseAndSave(snapshotFolder,
                  L"Choisissez le r\u00e9pertoire o\u00f9 seront enregistr\u00e9es les captures d'\u00e9cran :");
}

void OnRecordingFailure(WPARAM error, LPARAM serial)
{
    // A timer's recording ends alone, its state saying why; the recorder then
    // closes the file and names it to the user, whoever started the recording.
    NoteTimerRecordingFailure(error, serial);
    if (OnRecordingFailed(mainWindow, error, serial) && recording)
        SetRecordingState(false);
}
