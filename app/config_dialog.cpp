#include "app/config_dialog.h"

#include "app/combo_setting.h"
#include "app/modern_codecs_dialog.h"
#include "app/shell_state.h"
#include "channels/frequency_plan_win.h"
#include "config/settings.h"
#include "graph/devices.h"
#include "resources/resource_ids.h"

namespace {

// Each list of the dialog with the setting it shows and sets.
struct ListSetting {
    int comboId;
    wchar_t* setting;  // kNameCapacity units
};

const ListSetting kLists[] = {
    {IDC_CONFIG_CITY, city},
    {IDC_CONFIG_TUNER, tunerName},
    {IDC_CONFIG_RECEIVER, receiverName},
    {IDC_CONFIG_VIDEO, videoDecoderName},
    {IDC_CONFIG_AUDIO, audioDecoderName},
    {IDC_CONFIG_AC3, ac3DecoderName},
};

// What the dialog holds until it ends: the choices of its "Codecs HD..." page,
// which reach the settings only with the dialog's own OK.
struct ConfigDialogState {
    ModernCodecNames modernCodecs;
};

ConfigDialogState* StateOf(HWND dialog)
{
    return reinterpret_cast<ConfigDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void FillLists(HWND dialog)
{
    FillCityList(dialog, IDC_CONFIG_CITY);
    FillDeviceList(KSCATEGORY_BDA_NETWORK_TUNER, dialog, IDC_CONFIG_TUNER);
    FillDeviceList(KSCATEGORY_BDA_RECEIVER_COMPONENT, dialog, IDC_CONFIG_RECEIVER);
    FillDecoderList(MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, dialog, IDC_CONFIG_VIDEO);
    FillDecoderList(MEDIATYPE_Audio, MEDIASUBTYPE_MPEG2_AUDIO, dialog, IDC_CONFIG_AUDIO);
    FillDecoderList(MEDIATYPE_Audio, MEDIASUBTYPE_DOLBY_AC3, dialog, IDC_CONFIG_AC3);
    for (const ListSetting& list : kLists)
        SelectStored(dialog, list.comboId, list.setting);
}

ConfigResult SaveChoices(HWND dialog)
{
    bool tunerChosen = false;
    for (const ListSetting& list : kLists) {
        const bool taken = TakeSelection(dialog, list.comboId, list.setting);
        if (list.comboId == IDC_CONFIG_TUNER)
            tunerChosen = taken;
    }
    if (const ConfigDialogState* state = StateOf(dialog))
        ApplyModernCodecNames(state->modernCodecs);
    SaveSettings(currentChannel);
    return tunerChosen ? kConfigConfirmedWithTuner : kConfigConfirmed;
}

}  // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER,
                          reinterpret_cast<LONG_PTR>(new ConfigDialogState{CurrentModernCodecNames()}));
        FillLists(dialog);
        return TRUE;
    case WM_DESTROY:
        delete StateOf(dialog);
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, SaveChoices(dialog));
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, kConfigCancelled);
            return TRUE;
        case IDC_CONFIG_MODERN:
            if (ConfigDialogState* state = StateOf(dialog))
                RunModernCodecsDialog(dialog, state->modernCodecs);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

ConfigResult RunConfigDialog()
{
    const INT_PTR result =
        DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_CONFIG), mainWindow, ConfigDialogProc, 0);
    return result == kConfigConfirmed || result == kConfigConfirmedWithTuner ? static_cast<ConfigResult>(result)
                                                                             : kConfigCancelled;
}
