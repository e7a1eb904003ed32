#include "record/recorder.h"

#include <memory>
#include <vector>

#include "channels/text/dvb_text.h"
#include "common/error_message.h"
#include "common/wide_text.h"
#include "graph/graph_handles.h"
#include "graph/transport_tap.h"
#include "record/new_file.h"
#include "record/packet_fan_out.h"
#include "record/recording_writer.h"
#include "record/service_pids.h"

namespace {

constexpr wchar_t kExtension[] = L".mpg";
constexpr wchar_t kMultiplexName[] = L"Transport Stream";

struct Recording {
    LPARAM serial;
    std::wstring path;  // for the message that tells of its failure
    std::unique_ptr<RecordingWriter> writer;
};

std::vector<Recording> recordings;
// All the recordings of the multiplex share one walk over the tap's packets; it
// is subscribed to the tap while any recording runs.
PacketFanOut fanOut;
LPARAM lastSerial = 0;
LPARAM menuRecording = 0;  // 0 when the menus show no recording

Recording* Find(LPARAM serial)
{
    for (Recording& recording : recordings)
        if (recording.serial == serial)
            return &recording;
    return nullptr;
}

bool StartFromMenu(HWND window, const std::wstring& name, const PidSelection& selection, const wchar_t* folder)
{
    if (menuRecording != 0)
        return false;
    menuRecording = BeginRecording(window, name, selection, folder);
    return menuRecording != 0;
}

// While any recording runs the PC stays awake: a sleep would cut the stream.
void KeepAwakeWhileRecording()
{
    SetThreadExecutionState(recordings.empty() ? ES_CONTINUOUS : ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

// Opens "<stem>.mpg" (or the first free "<stem> (n).mpg") and subscribes its
// writer to the tap. Returns 0 with `failure` set (French) when it cannot.
LPARAM Begin(HWND window, const std::wstring& stem, const PidSelection& selection, const wchar_t* folder,
             std::wstring& failure)
{
    if (!sampleGrabber) {
        failure = L"Enregistrement impossible : le graphe n'a pas de grabber.";
        return 0;
    }
    if (!TransportTapInstalled()) {
        failure = L"Enregistrement impossible : le grabber refuse le rappel d'enregistrement.";
        return 0;
    }
    NewFile file = CreateNewFile(folder ? folder : L"", stem, kExtension);
    if (!file.ok()) {
        failure = FileFailureText(L"Impossible de cr\u00e9er le fichier d'enregistrement :", file.path, file.error);
        return 0;
    }
    const LPARAM serial = ++lastSerial;
    auto writer = std::make_unique<RecordingWriter>(file.handle, window, WM_RECORDING_FAILED, serial);
    if (!fanOut.Add(writer.get(), selection)) {
        writer.reset();
        DeleteFileW(file.path.c_str());  // still empty
        failure = L"Enregistrement impossible : trop d'enregistrements sont d\u00e9j\u00e0 en cours.";
        return 0;
    }
    recordings.push_back({serial, file.path, std::move(writer)});
    transportTap.Subscribe(&fanOut);
    KeepAwakeWhileRecording();
    return serial;
}

}  // namespace

LPARAM BeginRecording(HWND window, const std::wstring& name, const PidSelection& selection, const wchar_t* folder)
{
    std::wstring failure;
    const LPARAM serial = Begin(window, DatedStem(name, LocalFileTime()), selection, folder, failure);
    if (serial == 0)
        ShowError(window, failure.c_str());
    return serial;
}

LPARAM BeginTimedRecording(HWND window, const std::wstring& stem, const PidSelection& selection,
                           const wchar_t* folder, std::wstring& failure)
{
    return Begin(window, stem, selection, folder, failure);
}

std::wstring RecordingPath(LPARAM recording)
{
    const Recording* found = Find(recording);
    return found ? found->path : std::wstring();
}

void EndRecording(LPARAM recording)
{
    Recording* found = Find(recording);
    if (!found)
        return;
    // Once the fan-out lets go, no packet of this recording is being written.
    fanOut.Remove(found->writer.get());
    found->writer->Close();
    recordings.erase(recordings.begin() + (found - recordings.data()));
    if (recordings.empty())
        transportTap.Unsubscribe(&fanOut);
    KeepAwakeWhileRecording();
}

bool StartServiceRecording(HWND window, const Chaine& channel, bool secondAudioActive, bool ac3Active,
                           const wchar_t* folder)
{
    return StartFromMenu(window, ToWide(DecodeDvbText(channel.Nom)),
                         ServiceSelection(channel, secondAudioActive, ac3Active), folder);
}

bool StartMultiplexRecording(HWND window, const wchar_t* folder)
{
    return StartFromMenu(window, kMultiplexName, PidSelection::Multiplex(), folder);
}

void StopRecording()
{
    EndRecording(menuRecording);
    menuRecording = 0;
}

void ReleaseRecorder()
{
    while (!recordings.empty())
        EndRecording(recordings.back().serial);
    menuRecording = 0;
}

bool OnRecordingFailed(HWND window, WPARAM error, LPARAM serial)
{
    const Recording* found = Find(serial);
    if (!found)
        return false;  // a recording already stopped
    const std::wstring text =
        FileFailureText(L"L'enregistrement est arr\u00eat\u00e9 : \u00e9criture impossible dans", found->path,
                        static_cast<DWORD>(error)) +
        L"\nCe qui a \u00e9t\u00e9 enregistr\u00e9 jusque-l\u00e0 est conserv\u00e9.";
    const bool fromMenu = serial == menuRecording;
    EndRecording(serial);
    if (fromMenu)
        menuRecording = 0;
    ShowError(window, text.c_str());
    return fromMenu;
}
