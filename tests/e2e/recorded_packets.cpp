#include "recorded_packets.h"

#include <windows.h>

std::uint16_t PidOf(const std::string& packet)
{
    return static_cast<std::uint16_t>((static_cast<unsigned char>(packet[1]) & 0x1F) << 8 |
                                      static_cast<unsigned char>(packet[2]));
}

bool IsLoopedRun(const Packets& recorded, const Packets& source)
{
    if (recorded.empty() || source.empty())
        return false;
    for (std::size_t start = 0; start < source.size(); ++start) {
        if (source[start] != recorded[0])
            continue;
        std::size_t i = 1;
        while (i < recorded.size() && recorded[i] == source[(start + i) % source.size()])
            ++i;
        if (i == recorded.size())
            return true;
    }
    return false;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}
