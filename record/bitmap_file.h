#pragma once
// The bitmap file that a snapshot writes: the 14-byte file header, then the packed
// device-independent bitmap the video renderer hands out (its info header, any
// colour masks and colour table, then the pixels), unchanged.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

inline constexpr std::size_t kBitmapFileHeaderSize = 14;

struct BitmapFileLayout {
    std::array<std::uint8_t, kBitmapFileHeaderSize> fileHeader{};
    std::size_t blockSize = 0;     // bytes of the packed bitmap that follow the file header
    std::uint32_t pixelOffset = 0; // from the start of the file
    std::uint32_t fileSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;       // as the header gives it (negative: rows from the top)
};

// Lays out the file for the packed bitmap at `block`, of which `available` bytes
// may be read. The pixels start after the info header, the three (or four) colour
// masks of BI_BITFIELDS (BI_ALPHABITFIELDS) with a plain 40-byte header, and the
// colour table; a biSizeImage of 0 is worked out from width, height and bit count.
// Nothing when the header is not one that can be written safely (too short, sizes
// that make no sense, or a block shorter than the header announces).
std::optional<BitmapFileLayout> LayOutBitmapFile(const std::uint8_t* block, std::size_t available);
