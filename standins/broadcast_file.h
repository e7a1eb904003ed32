#pragma once
// The recorded multiplex of one frequency: `<kHz>.ts` in the folder named by
// BRISOME_BROADCAST_DIR, read in whole 188-byte packets and looped at its end.
#include <windows.h>

#include <cstdint>
#include <string>

// The file's path for a frequency, or empty when the folder is not set.
std::wstring BroadcastPath(std::uint32_t frequencyKhz);
// Whether the frequency has a broadcast that holds at least one packet.
bool BroadcastExists(std::uint32_t frequencyKhz);

class BroadcastFile {
public:
    BroadcastFile() = default;
    BroadcastFile(const BroadcastFile&) = delete;
    BroadcastFile& operator=(const BroadcastFile&) = delete;
    ~BroadcastFile() { Close(); }

    bool Open(std::uint32_t frequencyKhz);
    void Close();
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    // The next packet, starting again at the beginning after the last one. A trailing
    // partial packet is never returned; neither is a packet without its sync byte.
    // False when the file holds no whole packet or cannot be read.
    bool NextPacket(std::uint8_t* packet);
    // Whether the packet just returned was the first of a new pass through the file.
    bool Looped() const { return looped_; }

private:
    bool ReadWhole(std::uint8_t* packet);

    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool looped_ = false;
};
