#include "screen_capture.h"

#include <fstream>

#include "program_driver.h"

namespace {

bool ShowsColour(const WindowPicture& picture, std::uint32_t colour)
{
    if (picture.pixels.empty())
        return false;
    // A few points spread over the upper part of the picture, away from the digits.
    for (int fx : {2, 3, 5, 7, 8})
        for (int fy : {1, 2})
            if (picture.At(picture.width * fx / 10, picture.height * fy / 10) == colour)
                return true;
    return false;
}

void Save(const WindowPicture& picture, const wchar_t* name)
{
    wchar_t exe[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe, n);
    folder.erase(folder.find_last_of(L"\\/"));
    folder += L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name;
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(out, picture.file.data(), static_cast<DWORD>(picture.file.size()), &written, nullptr);
    CloseHandle(out);
}

}  // namespace

bool WaitForPicture(HWND window, const std::wstring& workDir, std::uint32_t colour, DWORD timeoutMs,
                    const wchar_t* screenshot)
{
    const DWORD start = GetTickCount();
    WindowPicture picture;
    do {
        picture = ReadWindowPicture(window, workDir);
        if (ShowsColour(picture, colour))
            break;
        Sleep(200);
    } while (GetTickCount() - start < timeoutMs);
    Save(picture, screenshot);
    return ShowsColour(picture, colour);
}
