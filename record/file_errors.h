#pragma once
// The reason a file operation failed, told in French from the platform's error
// code (GetLastError), for the messages that name the file.
#include <string>

std::wstring FileErrorReason(unsigned long code);
