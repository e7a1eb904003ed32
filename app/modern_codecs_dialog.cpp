#include "app/modern_codecs_dialog.h"

#include <dshow.h>

#include "app/combo_setting.h"
#include "app/shell_state.h"
#include "config/settings.h"
#include "graph/devices.h"
#include "graph/media_framework.h"
#include "resources/resource_ids.h"

namespace {

struct DecoderList {
    int comboId;
    const GUID* major;
    const GUID* subtype;
    wchar_t* setting;
};

const DecoderList kLists[] = {
    {IDC_MODERN_H264, &MEDIATYPE_Video, &MEDIASUBTYPE_H264, h264DecoderName},
    {IDC_MODERN_HEVC, &MEDIATYPE_Video, &MEDIASUBTYPE_HEVC, hevcDecoderName},
    {IDC_MODERN_AAC, &MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG_ADTS_AAC, aacDecoderName},
    {IDC_MODERN_EAC3, &MEDIATYPE_Audio, &MEDIASUBTYPE_DOLBY_DDPLUS, eac3DecoderName},
};

}  // namespace

INT_PTR CALLBACK ModernCodecsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        for (const DecoderList& list : kLists) {
            FillDecoderList(*list.major, *list.subtype, dialog, list.comboId);
            // Nothing chosen yet: no entry selected, so that OK does not choose one.
            if (list.setting[0] != L'\0')
                SelectStored(dialog, list.comboId, list.setting);
        }
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            for (const DecoderList& list : kLists)
                TakeSelection(dialog, list.comboId, list.setting);
            SaveSettings(currentChannel);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

void RunModernCodecsDialog(HWND owner)
{
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MODERN_CODECS), owner, ModernCodecsDialogProc, 0);
}
