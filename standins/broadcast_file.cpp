#include "standins/broadcast_file.h"

#include "channels/psi/ts_packet.h"

std::wstring BroadcastPath(std::uint32_t frequencyKhz)
{
    wchar_t folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring path(folder, length);
    if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
    // The name is made of digits only, so nothing outside the folder can be reached.
    path += std::to_wstring(frequencyKhz);
    path += L".ts";
    return path;
}

bool BroadcastExists(std::uint32_t frequencyKhz)
{
    const std::wstring path = BroadcastPath(frequencyKhz);
    if (path.empty()) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow >= kTsPacketSize;
}

bool BroadcastFile::Open(std::uint32_t frequencyKhz)
{
    Close();
    const std::wstring path = BroadcastPath(frequencyKhz);
    if (path.empty()) return false;
    file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    looped_ = false;
    return IsOpen();
}

void BroadcastFile::Close()
{
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
}

bool BroadcastFile::ReadWhole(std::uint8_t* packet)
{
    DWORD read = 0;
    if (!ReadFile(file_, packet, static_cast<DWORD>(kTsPacketSize), &read, nullptr)) return false;
    return read == kTsPacketSize;
}

bool BroadcastFile::NextPacket(std::uint8_t* packet)
{
    if (!IsOpen()) return false;
    looped_ = false;
    // At most one rewind per call: a file without a single good packet gives up.
    for (int pass = 0; pass < 2; ++pass) {
        while (ReadWhole(packet)) {
            if (packet[0] == kTsSyncByte) return true;
        }
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(file_, start, nullptr, FILE_BEGIN)) return false;
        looped_ = true;
    }
    return false;
}
