#include "screen_capture.h"

#include <cstring>
#include <string>

#include "program_driver.h"

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

namespace {

// The picture as a 24-bit bitmap file, rows from the bottom. The probe's own file
// has 32-bit pixels whose fourth byte is 0, which image viewers take for full
// transparency; 24-bit pixels are opaque everywhere.
std::string OpaqueBitmap(const WindowPicture& picture)
{
    const size_t rowBytes = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t{3};
    const size_t offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    const size_t height = static_cast<size_t>(picture.height);
    std::string bytes(offset + rowBytes * height, '\0');

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = static_cast<DWORD>(bytes.size());
    file.bfOffBits = static_cast<DWORD>(offset);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = picture.width;
    info.biHeight = picture.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rowBytes * height);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);

    for (int y = 0; y < picture.height; ++y) {
        char* row = bytes.data() + offset + rowBytes * (height - 1 - static_cast<size_t>(y));
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t rgb = picture.At(x, y);
            row[3 * x] = static_cast<char>(rgb & 0xFF);
            row[3 * x + 1] = static_cast<char>((rgb >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>((rgb >> 16) & 0xFF);
        }
    }
    return bytes;
}

// Writes the picture as `name` in the folder "screenshots" beside the test
// executable; a picture that could not be read leaves no file of that name.
void Save(const WindowPicture& picture, const wchar_t* name)
{
    wchar_t exe[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder(exe, n);
    folder.erase(folder.find_last_of(L"\\/"));
    folder += L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + name;
    if (picture.pixels.empty()) {
        DeleteFileW(path.c_str());
        return;
    }
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return;
    const std::string bitmap = OpaqueBitmap(picture);
    DWORD written = 0;
    WriteFile(out, bitmap.data(), static_cast<DWORD>(bitmap.size()), &written, nullptr);
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

void SaveScreenshot(const WindowPicture& picture, const wchar_t* screenshot)
{
    Save(picture, screenshot);
}
