#include "app/recording_guard.h"

#include "app/shell_state.h"
#include "app/timer_runner.h"
#include "channels/chaine.h"
#include "common/error_message.h"
#include "graph/codec_pins.h"

const wchar_t kChannelNeedsStop[] =
    L"Cette cha\u00eene demande un autre d\u00e9codeur, ce qui interromprait l'enregistrement en cours. "
    L"Arr\u00eatez d'abord l'enregistrement pour la regarder.";
const wchar_t kTrackNeedsStop[] =
    L"Cette piste demande un autre d\u00e9codeur, ce qui interromprait l'enregistrement en cours. "
    L"Arr\u00eatez d'abord l'enregistrement pour l'\u00e9couter.";

bool RecordingHoldsTuner() { return recording || TimerRecordingsRun(); }

bool RefuseRetuneWhileTimerRecords(std::int32_t index)
{
    if (!TimerRecordingsRun() || !IsValidChannelIndex(Chaines, index) || !IsValidChannelIndex(Chaines, currentChannel))
        return false;
    if (Chaines[static_cast<std::size_t>(index)].Frequence ==
        Chaines[static_cast<std::size_t>(currentChannel)].Frequence)
        return false;
    ShowError(mainWindow, L"Un enregistrement programm\u00e9 est en cours : seules les cha\u00eenes de son "
                          L"multiplex peuvent \u00eatre regard\u00e9es jusqu'\u00e0 sa fin.");
    return true;
}

bool RefuseGraphStopWhileRecording(const PinCodecs& wanted, const wchar_t* message)
{
    if (!RecordingHoldsTuner() || PinsToReconnectFor(wanted) == 0)
        return false;
    ShowError(mainWindow, message);
    return true;
}
