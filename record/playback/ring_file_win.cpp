#include "record/playback/ring_file_win.h"

#include <algorithm>

#include "record/file_errors.h"

namespace {

// Positional I/O on a synchronous handle: the OVERLAPPED structure carries the
// offset, so the reader and the writer never share a file pointer.
OVERLAPPED At(std::uint64_t offset)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

}  // namespace

std::unique_ptr<WinRingFile> WinRingFile::Create(const std::wstring& folder, DWORD& error)
{
    wchar_t path[MAX_PATH];
    // GetTempFileNameW creates the file (an empty one) under a name of its own choosing.
    if (folder.empty() || folder.size() > MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"bts", 0, path)) {
        error = folder.empty() ? ERROR_PATH_NOT_FOUND : GetLastError();
        return nullptr;
    }
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        DeleteFileW(path);
        return nullptr;
    }
    error = ERROR_SUCCESS;
    return std::unique_ptr<WinRingFile>(new WinRingFile(file, path));
}

WinRingFile::~WinRingFile()
{
    CloseHandle(file_);
}

bool WinRingFile::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size, unsigned long& error)
{
    while (size > 0) {
        OVERLAPPED at = At(offset);
        DWORD done = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!WriteFile(file_, data, chunk, &done, &at)) {
            error = GetLastError();
            return false;
        }
        if (done == 0) {
            error = ERROR_DISK_FULL;
            return false;
        }
        offset += done;
        data += done;
        size -= done;
    }
    return true;
}

std::size_t WinRingFile::ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size)
{
    std::size_t total = 0;
    while (total < size) {
        OVERLAPPED at = At(offset + total);
        DWORD done = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
        if (!ReadFile(file_, out + total, chunk, &done, &at) || done == 0)
            break;
        total += done;
    }
    return total;
}

std::wstring DefaultTimeShiftFolder()
{
    wchar_t folder[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH)
        return L".";
    return folder;
}

std::wstring TimeShiftFolderFailureText(const std::wstring& folder, DWORD error)
{
    return L"La pause du direct est impossible : le dossier « " + folder +
           L" » ne peut pas recevoir le fichier tampon.\n" + FileErrorReason(error);
}

std::wstring TimeShiftWriteFailureText(DWORD error)
{
    return L"La mise en mémoire du direct s'arrête : le fichier tampon ne peut plus être écrit.\n" +
           FileErrorReason(error) + L"\nCe qui a déjà été mis en mémoire reste disponible.";
}
