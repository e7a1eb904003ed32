#include "app/recording_guard.h"

#include "app/shell_state.h"
#include "common/error_message.h"
#include "graph/codec_pins.h"

const wchar_t kChannelNeedsStop[] =
    L"Cette cha\u00eene demande un autre d\u00e9codeur, ce qui interromprait l'enregistrement en cours. "
    L"Arr\u00eatez d'abord l'enregistrement pour la regarder.";
const wchar_t kTrackNeedsStop[] =
    L"Cette piste demande un autre d\u00e9codeur, ce qui interromprait l'enregistrement en cours. "
    L"Arr\u00eatez d'abord l'enregistrement pour l'\u00e9couter.";

bool RefuseGraphStopWhileRecording(const PinCodecs& wanted, const wchar_t* message)
{
    if (!recording || PinsToReconnectFor(wanted) == 0)
        return false;
    ShowError(mainWindow, message);
    return true;
}
