#pragma once
// What the time-shift tests share: the buffer's file in memory, which can be
// told to fail from some size on, and a video stream of small MPEG-2 pictures.
#include <algorithm>
#include <cstdint>

#include "record/playback/time_shift_buffer.h"
#include "tests/support/packets.h"

struct MemoryRingFile : RingFile {
    bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size, unsigned long& error) override
    {
        if (offset + size > limit) {
            error = 112;  // the disk is full
            return false;
        }
        if (bytes.size() < offset + size)
            bytes.resize(offset + size);
        std::copy(data, data + size, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        ++writes;
        return true;
    }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override
    {
        if (offset + size > bytes.size())
            return 0;
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                  bytes.begin() + static_cast<std::ptrdiff_t>(offset + size), out);
        return size;
    }
    tstest::Bytes bytes;
    std::uint64_t limit = UINT64_MAX;
    int writes = 0;
};

// Picture `n` of a stream on `pid`: one PES packet of three TS packets
// (kTestPictureBytes), its PTS 40 ms after the one before; every `gop`-th
// begins with a sequence header, the stream's random-access points.
inline constexpr std::uint64_t kTestPictureBytes = 3 * 188;

inline tstest::Bytes TestPicture(std::uint16_t pid, int n, int gop)
{
    tstest::Bytes data = {0, 0, 1, static_cast<std::uint8_t>(n % gop == 0 ? 0xB3 : 0x00), 0x01, 0x02};
    data.resize(400, 0x55);
    tstest::TsWriter writer;
    writer.Pes(pid, 0xE0, data, 90000 + 3600 * static_cast<std::uint64_t>(n));
    return writer.bytes();
}
