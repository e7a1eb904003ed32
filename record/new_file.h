#pragma once
// Creates a file that did not exist: the first free name among "<stem><ext>",
// "<stem> (2)<ext>", ... in the folder. An existing file is never replaced.
#include <windows.h>

#include <string>
#include <string_view>

#include "record/file_naming.h"

struct NewFile {
    HANDLE handle = INVALID_HANDLE_VALUE;  // owned by the caller
    std::wstring path;                     // the created file, or the last name tried
    DWORD error = ERROR_SUCCESS;           // why no file was created
    bool ok() const { return handle != INVALID_HANDLE_VALUE; }
};

NewFile CreateNewFile(std::wstring_view folder, std::wstring_view stem, std::wstring_view extension);

// "<first line> <path>\n<reason>", shown with ShowError.
std::wstring FileFailureText(std::wstring_view firstLine, const std::wstring& path, DWORD error);

// Day, month and time of the local clock, for the names of new files.
FileTime LocalFileTime();
