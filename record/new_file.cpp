#include "record/new_file.h"

#include "record/file_errors.h"
#include "record/file_naming.h"

NewFile CreateNewFile(std::wstring_view folder, std::wstring_view stem, std::wstring_view extension)
{
    NewFile file;
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        file.path = CandidatePath(folder, stem, extension, attempt);
        // CREATE_NEW fails on an existing name instead of emptying that file.
        file.handle = CreateFileW(file.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file.ok())
            return file;
        file.error = GetLastError();
        if (file.error != ERROR_FILE_EXISTS && file.error != ERROR_ALREADY_EXISTS)
            return file;
    }
    return file;
}

std::wstring FileFailureText(std::wstring_view firstLine, const std::wstring& path, DWORD error)
{
    std::wstring text(firstLine);
    text += L" ";
    text += path;
    text += L"\n";
    text += FileErrorReason(error);
    return text;
}

FileTime LocalFileTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    FileTime time;
    time.day = now.wDay;
    time.month = now.wMonth;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    return time;
}
