#include "record/file_naming.h"

#include <array>
#include <cwchar>

namespace {

// A channel's name is at most 255 bytes; keep the whole file name well within the
// 255 characters a path component may have, whatever the date and number add.
constexpr std::size_t kMaxNamePart = 200;

bool IsForbidden(wchar_t c)
{
    if (c < 0x20 || c == 0x7F)
        return true;
    return std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
}

wchar_t Upper(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool EqualsUpper(std::wstring_view text, std::wstring_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (Upper(text[i]) != upper[i])
            return false;
    return true;
}

// Windows opens the device instead of a file when the part of a name before its
// first dot (trailing spaces ignored) is one of these, whatever follows.
bool IsReservedDeviceName(std::wstring_view name)
{
    std::wstring_view base = name.substr(0, name.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    static constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (std::wstring_view reserved : kPlain)
        if (EqualsUpper(base, reserved))
            return true;
    if (base.size() == 4 && (EqualsUpper(base.substr(0, 3), L"COM") || EqualsUpper(base.substr(0, 3), L"LPT"))) {
        const wchar_t digit = base[3];
        return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
    }
    return false;
}

bool EndsWithSeparator(std::wstring_view path)
{
    return !path.empty() && (path.back() == L'\\' || path.back() == L'/');
}

}  // namespace

std::wstring SafeNamePart(std::wstring_view name)
{
    std::wstring safe;
    safe.reserve(name.size());
    for (wchar_t c : name)
        safe.push_back(IsForbidden(c) ? L'_' : c);
    if (safe.size() > kMaxNamePart)
        safe.resize(kMaxNamePart);
    // Windows drops trailing dots and spaces from a name; a name of only those
    // would otherwise name the folder itself or its parent.
    while (!safe.empty() && (safe.back() == L'.' || safe.back() == L' '))
        safe.pop_back();
    if (!safe.empty() && IsReservedDeviceName(safe))
        safe.insert(safe.begin(), L'_');
    return safe;
}

std::wstring DatedStem(std::wstring_view name, const FileTime& time)
{
    wchar_t date[32];
    std::swprintf(date, sizeof date / sizeof date[0], L"%02d-%02d %02d-%02d-%02d", time.day, time.month, time.hour,
                  time.minute, time.second);
    std::wstring stem = SafeNamePart(name);
    if (!stem.empty())
        stem.push_back(L' ');
    stem += date;
    return stem;
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view fileName)
{
    std::wstring path(folder);
    if (!path.empty() && !EndsWithSeparator(path))
        path.push_back(L'\\');
    path += fileName;
    return path;
}

std::wstring CandidatePath(std::wstring_view folder, std::wstring_view stem, std::wstring_view extension,
                           int attempt)
{
    std::wstring name(stem);
    if (attempt > 1)
        name += L" (" + std::to_wstring(attempt) + L")";
    name += extension;
    return JoinPath(folder, name);
}
