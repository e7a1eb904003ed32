#include "app/modern_codecs_dialog.h"

#include <dshow.h>

#include <cwchar>
#include <iterator>

#include "app/combo_setting.h"
#include "app/shell_state.h"
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

// In the order of ModernCodecNames::names.
const DecoderList kLists[] = {
    {IDC_MODERN_H264, &MEDIATYPE_Video, &MEDIASUBTYPE_H264, h264DecoderName},
    {IDC_MODERN_HEVC, &MEDIATYPE_Video, &MEDIASUBTYPE_HEVC, hevcDecoderName},
    {IDC_MODERN_AAC, &MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG_ADTS_AAC, aacDecoderName},
    {IDC_MODERN_EAC3, &MEDIATYPE_Audio, &MEDIASUBTYPE_DOLBY_DDPLUS, eac3DecoderName},
};
static_assert(std::size(kLists) == std::size(ModernCodecNames{}.names));

ModernCodecNames* NamesOf(HWND dialog)
{
    return reinterpret_cast<ModernCodecNames*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

}  // namespace

ModernCodecNames CurrentModernCodecNames()
{
    ModernCodecNames current{};
    for (std::size_t i = 0; i < std::size(kLists); ++i)
        std::wmemcpy(current.names[i], kLists[i].setting, kNameCapacity);
    return current;
}

void ApplyModernCodecNames(const ModernCodecNames& chosen)
{
    for (std::size_t i = 0; i < std::size(kLists); ++i)
        std::wmemcpy(kLists[i].setting, chosen.names[i], kNameCapacity);
}

INT_PTR CALLBACK ModernCodecsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        const ModernCodecNames* names = NamesOf(dialog);
        for (std::size_t i = 0; i < std::size(kLists); ++i) {
            FillDecoderList(*kLists[i].major, *kLists[i].subtype, dialog, kLists[i].comboId);
            if (names)
                SelectStored(dialog, kLists[i].comboId, names->names[i]);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (ModernCodecNames* names = NamesOf(dialog))
                for (std::size_t i = 0; i < std::size(kLists); ++i)
                    TakeSelection(dialog, kLists[i].comboId, names->names[i]);
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

void RunModernCodecsDialog(HWND owner, ModernCodecNames& names)
{
    DialogBoxParamW(instanceHandle, MAKEINTRESOURCEW(IDD_MODERN_CODECS), owner, ModernCodecsDialogProc,
                    reinterpret_cast<LPARAM>(&names));
}
