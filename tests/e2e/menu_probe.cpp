// A probe loaded into the program under test by a message hook, because under Wine
// a menu, and what a window shows, belong to the process that made them and cannot
// be read from outside. On the registered message "BrisomeMenuProbe" it writes the
// window's menu bar, as the user would see it, to menu.txt in the program's current
// directory; on "BrisomePictureProbe", the window's client area to picture.bmp;
// on "BrisomeControlsProbe", the texts of the window's status bar and list view
// to controls.txt; and while it stays hooked, each destroyed window's leftover
// link properties to destroyed.txt.
#include <windows.h>
#include <commctrl.h>

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

// One line per status bar part ("status|part|text"), list view column
// ("column|index|width|header") and list view cell ("cell|row|column|text").
void DumpControls(HWND window, FILE* out)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[64] = L"";
        GetClassNameW(child, className, 64);
        wchar_t text[1024];
        if (std::wstring(className) == STATUSCLASSNAMEW) {
            const int parts = static_cast<int>(SendMessageW(child, SB_GETPARTS, 0, 0));
            for (int part = 0; part < parts; ++part) {
                if (LOWORD(SendMessageW(child, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0)) >= 1024)
                    continue;
                text[0] = L'\0';
                SendMessageW(child, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
                std::fprintf(out, "status|%d|%s\n", part, Utf8(text).c_str());
            }
        } else if (std::wstring(className) == WC_LISTVIEWW) {
            HWND header = reinterpret_cast<HWND>(SendMessageW(child, LVM_GETHEADER, 0, 0));
            const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
            for (int c = 0; c < columns; ++c) {
                LVCOLUMNW column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH;
                column.pszText = text;
                column.cchTextMax = 1024;
                text[0] = L'\0';
                SendMessageW(child, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
                std::fprintf(out, "column|%d|%d|%s\n", c, column.cx, Utf8(text).c_str());
            }
            const int rows = static_cast<int>(SendMessageW(child, LVM_GETITEMCOUNT, 0, 0));
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < columns; ++c) {
                    LVITEMW item{};
                    item.iSubItem = c;
                    item.pszText = text;
                    item.cchTextMax = 1024;
                    text[0] = L'\0';
                    SendMessageW(child, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
                    std::fprintf(out, "cell|%d|%d|%s\n", r, c, Utf8(text).c_str());
                }
            }
        }
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
    static const UINT controlsMessage = RegisterWindowMessageW(L"BrisomeControlsProbe");
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_NCDESTROY)
        NoteDestroyed(message->hwnd, InCurrentDirectory(L"destroyed.txt"));
    if (code == HC_ACTION && message->message == controlsMessage) {
        if (FILE* out = _wfopen(InCurrentDirectory(L"controls.txt").c_str(), L"wb")) {
            DumpControls(message->hwnd, out);
            std::fclose(out);
        }
    }
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
