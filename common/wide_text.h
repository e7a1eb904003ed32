#pragma once
// UTF-16 text for the platform's wide calls: on Windows wchar_t is one UTF-16
// code unit, so the units carry over one for one.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

inline std::wstring ToWide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

// A field of our own making that holds plain ASCII (times, numbers), up to its
// NUL or the end of the array.
template <std::size_t N>
std::wstring WidenAscii(const char (&field)[N])
{
    const std::string_view text(field, N);
    return std::wstring(text.begin(), text.begin() + std::min(text.find('\0'), N));
}
