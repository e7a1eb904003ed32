#include "app/combo_setting.h"

#include <cwchar>
#include <string>
#include <vector>

#include "config/list_choice.h"
#include "config/settings.h"

namespace {

// The text of one entry; empty when the list cannot give it.
std::wstring EntryText(HWND combo, int index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

}  // namespace

void SelectStored(HWND dialog, int comboId, const wchar_t* stored)
{
    HWND combo = GetDlgItem(dialog, comboId);
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    std::vector<std::wstring> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(EntryText(combo, i));
    const int chosen = ChooseEntry(entries, stored);
    if (chosen >= 0)
        SendMessageW(combo, CB_SETCURSEL, chosen, 0);
}

bool TakeSelection(HWND dialog, int comboId, wchar_t* setting)
{
    HWND combo = GetDlgItem(dialog, comboId);
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return false;
    const std::wstring text = EntryText(combo, static_cast<int>(selected));
    const std::wstring_view kept = CutToSetting(text, kNameCapacity);
    std::wmemcpy(setting, kept.data(), kept.size());
    setting[kept.size()] = L'\0';
    return true;
}
