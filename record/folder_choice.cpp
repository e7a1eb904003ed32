#include "record/folder_choice.h"

#include <shlobj.h>

#include <cwchar>

namespace {

// Opens the browser on the folder chosen before, rather than on the desktop.
int CALLBACK OnBrowserEvent(HWND browser, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED && start)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

}  // namespace

bool ChooseFolder(HWND window, wchar_t* target, std::size_t capacity, const wchar_t* title)
{
    BROWSEINFOW info{};
    info.hwndOwner = window;
    info.pidlRoot = nullptr;  // the desktop
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = OnBrowserEvent;
    info.lParam = reinterpret_cast<LPARAM>(target && *target ? target : nullptr);
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return false;
    wchar_t path[MAX_PATH];
    const bool found = SHGetPathFromIDListW(chosen, path);
    CoTaskMemFree(chosen);
    if (!found || std::wcslen(path) >= capacity)
        return false;
    std::wcscpy(target, path);
    return true;
}
