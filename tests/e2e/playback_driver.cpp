#include "playback_driver.h"

#include "resources/playback_ids.h"
#include "resources/resource_ids.h"

namespace {

// The open-file dialog's file name box (a combo box, or an edit box in the old style).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

HWND Bar(HWND window) { return FindWindowExW(window, nullptr, L"BrisomePlaybackBar", nullptr); }

}  // namespace

bool OpenThroughDialog(const Program& program, HWND window, const std::wstring& path)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_PLAY_FILE, 1), 0);
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindDialog(program.Id(), L"Lire un enregistrement")) != nullptr; }, 10000))
        return false;
    HWND name = GetDlgItem(dialog, kFileNameCombo);
    if (!name)
        name = GetDlgItem(dialog, kFileNameEdit);
    if (!name)
        return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, 5000);
}

bool PlaybackBarShown(HWND window)
{
    HWND bar = Bar(window);
    return bar && IsWindowVisible(bar);
}

std::wstring PlaybackBarText(HWND window)
{
    HWND bar = Bar(window);
    wchar_t text[64] = L"";
    if (bar)
        GetDlgItemTextW(bar, IDC_PLAYBACK_POSITION, text, 64);
    return text;
}

int ClockSeconds(const std::wstring& text, size_t at)
{
    if (text.size() < at + 8 || text[at + 2] != L':' || text[at + 5] != L':')
        return -1;
    auto two = [&](size_t i) { return (text[i] - L'0') * 10 + (text[i + 1] - L'0'); };
    return two(at) * 3600 + two(at + 3) * 60 + two(at + 6);
}
