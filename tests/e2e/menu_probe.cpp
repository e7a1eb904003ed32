// A probe loaded into the program under test by a message hook, because a menu
// belongs to the process that made it and cannot be read from outside under Wine.
// On the registered message "BrisomeMenuProbe" it writes the window's menu bar,
// as the user would see it, to menu.txt in the program's current directory.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text)
{
    char buffer[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return n > 0 ? std::string(buffer) : std::string();
}

void DumpMenu(FILE* out, HMENU menu, int depth)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 256;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        std::string escaped;
        for (char c : Utf8(text))
            escaped += c == '\t' ? std::string("\\t") : std::string(1, c);
        if (info.fType & MFT_SEPARATOR)
            std::fprintf(out, "%d|separator|0|0|\n", depth);
        else
            std::fprintf(out, "%d|%s|%u|%u|%s\n", depth, info.hSubMenu ? "popup" : "item", info.wID,
                         static_cast<unsigned>(info.fState), escaped.c_str());
        if (info.hSubMenu)
            DumpMenu(out, info.hSubMenu, depth + 1);
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT probeMessage = RegisterWindowMessageW(L"BrisomeMenuProbe");
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == probeMessage) {
        wchar_t dir[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, dir);
        std::wstring path = std::wstring(dir) + L"\\menu.txt";
        FILE* out = _wfopen(path.c_str(), L"wb");
        if (out) {
            HMENU bar = GetMenu(message->hwnd);
            if (bar)
                DumpMenu(out, bar, 0);
            std::fclose(out);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
