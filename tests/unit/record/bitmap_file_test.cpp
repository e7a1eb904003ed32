// The bitmap file header that a snapshot puts before the renderer's image.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "record/bitmap_file.h"

namespace {

struct Info {
    std::uint32_t size = 40;
    std::int32_t width = 720;
    std::int32_t height = 576;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 32;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPels = 0, yPels = 0;
    std::uint32_t clrUsed = 0, clrImportant = 0;
};
static_assert(sizeof(Info) == 40);

std::vector<std::uint8_t> Block(const Info& info, std::size_t after)
{
    std::vector<std::uint8_t> block(info.size + after, 0);
    std::memcpy(block.data(), &info, sizeof info);
    return block;
}

std::uint32_t U32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
}

TEST(BitmapFile, PlainImageFollowsItsHeader)
{
    Info info;
    info.sizeImage = 720 * 576 * 4;
    const auto block = Block(info, info.sizeImage);
    const auto layout = LayOutBitmapFile(block.data(), block.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->fileSize, 1658934u);
    EXPECT_EQ(layout->pixelOffset, 54u);
    EXPECT_EQ(layout->blockSize, block.size());
    const auto& h = layout->fileHeader;
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[1], 'M');
    EXPECT_EQ(U32(&h[2]), 1658934u);
    EXPECT_EQ(U32(&h[6]), 0u);
    EXPECT_EQ(U32(&h[10]), 54u);
}

TEST(BitmapFile, MasksColourTableAndMissingImageSizeAreAccountedFor)
{
    Info masks;
    masks.compression = 3;  // BI_BITFIELDS: three masks after the 40-byte header
    masks.bitCount = 16;
    masks.width = 3;        // rows of 6 bytes padded to 8
    masks.height = -2;      // top-down
    auto block = Block(masks, 12 + 16);
    auto layout = LayOutBitmapFile(block.data(), block.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->pixelOffset, 14u + 40 + 12);
    EXPECT_EQ(layout->blockSize, 40u + 12 + 16);

    Info palette;
    palette.bitCount = 8;
    palette.width = 4;
    palette.height = 1;
    palette.sizeImage = 4;
    block = Block(palette, 256 * 4 + 4);
    layout = LayOutBitmapFile(block.data(), block.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->pixelOffset, 14u + 40 + 1024);
    palette.clrUsed = 2;
    block = Block(palette, 2 * 4 + 4);
    layout = LayOutBitmapFile(block.data(), block.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->pixelOffset, 14u + 40 + 8);

    // A larger header holds its masks itself.
    Info v5 = masks;
    v5.size = 124;
    block = Block(v5, 16);
    layout = LayOutBitmapFile(block.data(), block.size());
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->pixelOffset, 14u + 124);
}

TEST(BitmapFile, HeadersThatCannotBeWrittenSafelyAreRefused)
{
    Info info;
    info.sizeImage = 720 * 576 * 4;
    auto block = Block(info, info.sizeImage);
    EXPECT_FALSE(LayOutBitmapFile(block.data(), block.size() - 1));  // block shorter than announced
    EXPECT_FALSE(LayOutBitmapFile(block.data(), 39));
    EXPECT_FALSE(LayOutBitmapFile(nullptr, 0));
    for (auto broken : {Info{.size = 12}, Info{.width = 0}, Info{.height = 0}, Info{.bitCount = 7},
                        Info{.compression = 1 /* RLE8 */, .sizeImage = 0}, Info{.width = 0x7FFFFFFF}}) {
        auto b = Block(broken, 64);
        EXPECT_FALSE(LayOutBitmapFile(b.data(), b.size()));
    }
}

}  // namespace
