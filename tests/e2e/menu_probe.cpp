// A probe loaded into the program under test by a message hook, because under Wine
// a menu, and what a window shows, belong to the process that made them and cannot
// be read from outside. On the registered message "BrisomeMenuProbe" it writes the
// window's menu bar, as the user would see it, to menu.txt in the program's current
// directory; on "BrisomePictureProbe", the window's client area to picture.bmp; and
// while it stays hooked, each destroyed window's leftover link properties to
// destroyed.txt.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/text_convert.h"

namespace {

std::string Utf8(const wchar_t* text)
{
    return NarrowText(text, CodePage::Utf8);
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

void CapturePicture(HWND window, const std::wstring& path)
{
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0)
        return;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;  // top-down rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(source, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    const DWORD imageSize = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&header, sizeof header, 1, out);
        std::fwrite(bits, imageSize, 1, out);
        std::fclose(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
}

BOOL CALLBACK CountLinkProperty(HWND, LPWSTR name, HANDLE, ULONG_PTR count)
{
    if (!IS_INTRESOURCE(name) && std::wstring(name).rfind(L"_Hyperlink_", 0) == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// A window at its last message: its class and the link properties it still holds.
void NoteDestroyed(HWND window, const std::wstring& path)
{
    wchar_t className[128] = L"";
    GetClassNameW(window, className, 128);
    int properties = 0;
    EnumPropsExW(window, CountLinkProperty, reinterpret_cast<LPARAM>(&properties));
    if (FILE* out = _wfopen(path.c_str(), L"ab")) {
        std::fprintf(out, "%s|%d\n", Utf8(className).c_str(), properties);
        std::fclose(out);
    }
}

std::wstring InCurrentDirectory(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, dir);
    return std::wstring(dir) + L"\\" + name;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT probeMessage = RegisterWindowMessageW(L"BrisomeMenuProbe");
    static const UINT pictureMessage = RegisterWindowMessageW(L"BrisomePictureProbe");
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_NCDESTROY)
        NoteDestroyed(message->hwnd, InCurrentDirectory(L"destroyed.txt"));
    if (code == HC_ACTION && message->message == pictureMessage)
        CapturePicture(message->hwnd, InCurrentDirectory(L"picture.bmp"));
    if (code == HC_ACTION && message->message == probeMessage) {
        FILE* out = _wfopen(InCurrentDirectory(L"menu.txt").c_str(), L"wb");
        if (out) {
            HMENU bar = GetMenu(message->hwnd);
            if (bar)
                DumpMenu(out, bar, 0);
            std::fclose(out);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
