#include "standins/trace.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "graph/filterbase/auto_lock.h"

namespace {

CriticalSection& TraceLock()
{
    static CriticalSection lock;
    return lock;
}

std::wstring TracePath()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"BRISOME_STANDIN_TRACE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(path, length);
}

}  // namespace

void TraceLine(const char* line)
{
    const std::wstring path = TracePath();
    if (path.empty()) return;
    std::string text(line);
    text += "\r\n";

    AutoLock lock(TraceLock());
    // Opened for each line, so a test may read or delete the file between two calls.
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}
