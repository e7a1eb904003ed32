#include "record/recorder.h"

#include <string>

#include "channels/text/dvb_text.h"
#include "common/error_message.h"
#include "common/wide_text.h"
#include "graph/graph_handles.h"
#include "record/new_file.h"
#include "record/sample_grabber.h"
#include "record/service_pids.h"

namespace {

constexpr wchar_t kExtension[] = L".mpg";
constexpr wchar_t kMultiplexName[] = L"Transport Stream";

// The running recording, for the message that tells of its failure.
std::wstring recordingPath;
LPARAM recordingSerial = 0;
bool installed = false;
// Our own reference to the callback of the running recording, then of the last one
// stopped: the grabber may still be inside (or about to enter) a call to the callback
// it has just been told to drop, so a stopped callback lives on, file closed, until
// the next recording starts or the program ends.
CSampleGrabber* callbackHeld = nullptr;

void LetGoOfCallback()
{
    if (callbackHeld)
        callbackHeld->Release();
    callbackHeld = nullptr;
}

bool Start(HWND window, const std::wstring& name, const PidSelection& selection, const wchar_t* folder)
{
    if (installed)
        return false;
    if (!sampleGrabber) {
        ShowError(window, L"Enregistrement impossible : le graphe n'a pas de grabber.");
        return false;
    }
    NewFile file = CreateNewFile(folder ? folder : L"", DatedStem(name, LocalFileTime()), kExtension);
    if (!file.ok()) {
        ShowError(window, FileFailureText(L"Impossible de cr\u00e9er le fichier d'enregistrement :", file.path,
                                          file.error)
                              .c_str());
        return false;
    }
    const LPARAM serial = ++recordingSerial;
    LetGoOfCallback();
    auto* callback = new CSampleGrabber(file.handle, selection, window, WM_RECORDING_FAILED, serial);
    callback->AddRef();
    const HRESULT hr = sampleGrabber->SetCallback(callback, 0);
    if (FAILED(hr)) {
        callback->Release();  // closes the file
        DeleteFileW(file.path.c_str());
        ShowError(window, L"Enregistrement impossible : le grabber refuse le rappel d'enregistrement.");
        return false;
    }
    callbackHeld = callback;
    recordingPath = file.path;
    installed = true;
    return true;
}

}  // namespace

bool StartServiceRecording(HWND window, const Chaine& channel, bool secondAudioActive, bool ac3Active,
                           const wchar_t* folder)
{
    return Start(window, ToWide(DecodeDvbText(channel.Nom)), ServiceSelection(channel, secondAudioActive, ac3Active),
                 folder);
}

bool StartMultiplexRecording(HWND window, const wchar_t* folder)
{
    return Start(window, kMultiplexName, PidSelection::Multiplex(), folder);
}

void StopRecording()
{
    if (installed && sampleGrabber)
        sampleGrabber->SetCallback(nullptr, 0);
    if (callbackHeld)
        callbackHeld->Close();
    installed = false;
}

void ReleaseRecorder()
{
    StopRecording();
    LetGoOfCallback();
}

bool OnRecordingFailed(HWND window, WPARAM error, LPARAM serial)
{
    if (!installed || serial != recordingSerial)
        return false;  // a recording already stopped
    StopRecording();
    const std::wstring text =
        FileFailureText(L"L'enregistrement est arr\u00eat\u00e9 : \u00e9criture impossible dans", recordingPath,
                        static_cast<DWORD>(error)) +
        L"\nCe qui a \u00e9t\u00e9 enregistr\u00e9 jusque-l\u00e0 est conserv\u00e9.";
    ShowError(window, text.c_str());
    return true;
}
