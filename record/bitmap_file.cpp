#include "record/bitmap_file.h"

namespace {

// Offsets and values of BITMAPINFOHEADER.
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
// Beyond this a snapshot is not a picture but a corrupt header.
constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFF;

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool IsKnownBitCount(std::uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

std::optional<BitmapFileLayout> LayOutBitmapFile(const std::uint8_t* block, std::size_t available)
{
    if (block == nullptr || available < kInfoHeaderSize)
        return std::nullopt;
    const std::uint32_t headerSize = U32(block);
    const auto width = static_cast<std::int32_t>(U32(block + 4));
    const auto height = static_cast<std::int32_t>(U32(block + 8));
    const std::uint16_t bitCount = U16(block + 14);
    const std::uint32_t compression = U32(block + 16);
    std::uint64_t imageSize = U32(block + 20);
    const std::uint32_t coloursUsed = U32(block + 32);
    if (headerSize < kInfoHeaderSize || headerSize > available || width <= 0 || height == 0 ||
        height == INT32_MIN || !IsKnownBitCount(bitCount))
        return std::nullopt;

    // With the 40-byte header the masks follow it; the later headers hold them.
    std::uint64_t masks = 0;
    if (headerSize == kInfoHeaderSize && compression == kBiBitfields)
        masks = 12;
    else if (headerSize == kInfoHeaderSize && compression == kBiAlphaBitfields)
        masks = 16;
    std::uint64_t colours = coloursUsed;
    if (colours == 0 && bitCount <= 8)
        colours = std::uint64_t{1} << bitCount;
    if (colours > 256 && bitCount <= 8)
        return std::nullopt;
    if (colours > 0x10000)
        return std::nullopt;

    if (imageSize == 0) {
        // Only uncompressed rows can be measured; each is padded to 4 bytes.
        if (compression != kBiRgb && compression != kBiBitfields && compression != kBiAlphaBitfields)
            return std::nullopt;
        const std::uint64_t stride = (std::uint64_t(width) * bitCount + 31) / 32 * 4;
        const std::uint64_t rows = height < 0 ? std::uint64_t(-std::int64_t(height)) : std::uint64_t(height);
        imageSize = stride * rows;
    }

    const std::uint64_t beforePixels = std::uint64_t{headerSize} + masks + colours * 4;
    const std::uint64_t blockSize = beforePixels + imageSize;
    const std::uint64_t fileSize = kBitmapFileHeaderSize + blockSize;
    if (fileSize > kMaxFileSize || blockSize > available)
        return std::nullopt;

    BitmapFileLayout layout;
    layout.blockSize = static_cast<std::size_t>(blockSize);
    layout.pixelOffset = static_cast<std::uint32_t>(kBitmapFileHeaderSize + beforePixels);
    layout.fileSize = static_cast<std::uint32_t>(fileSize);
    layout.width = width;
    layout.height = height;
    layout.fileHeader[0] = 'B';
    layout.fileHeader[1] = 'M';
    Put32(&layout.fileHeader[2], layout.fileSize);
    Put32(&layout.fileHeader[10], layout.pixelOffset);
    return layout;
}
