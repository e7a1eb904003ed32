#pragma once
// Conversions between UTF-16 text and the 8-bit text of one code page, through the
// platform. The whole view is converted, embedded NULs included; text the platform
// cannot convert gives an empty string.
#include <string>
#include <string_view>

enum class CodePage {
    System,  // the system's ANSI code page: channel names, private-profile files
    Utf8,
};

std::string NarrowText(std::wstring_view text, CodePage page);
std::wstring WidenText(std::string_view text, CodePage page);
