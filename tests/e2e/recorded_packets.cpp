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

std::vector<double> PcrSeconds(const Packets& packets, std::uint16_t pcrPid)
{
    std::vector<double> seconds;
    for (const std::string& p : packets) {
        if (PidOf(p) != pcrPid)
            continue;
        const TsPacket packet = ReadTsPacket(reinterpret_cast<const std::uint8_t*>(p.data()), p.size());
        if (packet.pcr)
            seconds.push_back(static_cast<double>(*packet.pcr) / 27e6);
    }
    return seconds;
}

std::string ReadRecordedFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    LARGE_INTEGER size{};
    std::string bytes;
    if (GetFileSizeEx(file, &size) && size.QuadPart < (std::int64_t{1} << 31))
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        read = 0;
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
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
