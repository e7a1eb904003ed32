#include "record/playback/file_source_win.h"

#include <algorithm>

std::unique_ptr<WinFileSource> WinFileSource::Open(const std::wstring& path, DWORD& error)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    return std::unique_ptr<WinFileSource>(new WinFileSource(file));
}

WinFileSource::~WinFileSource() { CloseHandle(file_); }

std::uint64_t WinFileSource::Size() const
{
    LARGE_INTEGER size{};
    return GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

std::size_t WinFileSource::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size)
{
    std::size_t total = 0;
    while (total < size) {
        OVERLAPPED at{};
        const std::uint64_t where = offset + total;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 24));
        DWORD got = 0;
        if (!ReadFile(file_, out + total, want, &got, &at) || got == 0)
            break;
        total += got;
    }
    return total;
}
