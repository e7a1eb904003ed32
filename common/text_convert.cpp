#include "common/text_convert.h"

#include <windows.h>

#include <climits>

namespace {

UINT CodePageId(CodePage page)
{
    return page == CodePage::Utf8 ? CP_UTF8 : CP_ACP;
}

}  // namespace

std::string NarrowText(std::wstring_view text, CodePage page)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const UINT id = CodePageId(page);
    const int length = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(id, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string out(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(id, 0, text.data(), length, out.data(), bytes, nullptr, nullptr) != bytes)
        return {};
    return out;
}

std::wstring WidenText(std::string_view text, CodePage page)
{
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const UINT id = CodePageId(page);
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(id, 0, text.data(), length, nullptr, 0);
    if (units <= 0)
        return {};
    std::wstring out(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(id, 0, text.data(), length, out.data(), units) != units)
        return {};
    return out;
}
