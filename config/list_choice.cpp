#include "config/list_choice.h"

#include <algorithm>

namespace {

// Case folding of the letters that French names carry: ASCII and Latin-1
// (À..Þ except ×), enough for city, device and decoder names.
wchar_t Fold(wchar_t c)
{
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<wchar_t>(c + 0x20);
    return c;
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return Fold(x) == Fold(y); });
}

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

}  // namespace

int ChooseEntry(const std::vector<std::wstring>& entries, std::wstring_view stored)
{
    if (stored.empty())
        return -1;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (SameIgnoringCase(entries[i], stored))
            return static_cast<int>(i);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].size() >= stored.size() && SameIgnoringCase(std::wstring_view(entries[i]).substr(0, stored.size()), stored))
            return static_cast<int>(i);
    return -1;
}

std::wstring_view CutToSetting(std::wstring_view text, std::size_t capacity)
{
    if (capacity == 0)
        return {};
    if (text.size() < capacity)
        return text;
    std::size_t length = capacity - 1;
    if (length > 0 && IsHighSurrogate(text[length - 1]))
        --length;
    return text.substr(0, length);
}
