#include "standins/decoders/test_picture.h"
#include "standins/decoders/pixel_font.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

using namespace standin;

namespace {

struct Image {
    Image(int w, int h) : width(w), height(h), bytes(static_cast<std::size_t>(w) * h * 4, 0xCD) {}
    PictureView View() { return {bytes.data(), width * 4, width, height}; }
    std::uint32_t At(int x, int y) const
    {
        const std::uint8_t* p = &bytes[(static_cast<std::size_t>(y) * width + x) * 4];
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    int CountInk() const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += At(x, y) == kTestPictureInk;
        return n;
    }
    int width, height;
    std::vector<std::uint8_t> bytes;
};

Image Draw(int w, int h, int pid, std::uint32_t frame)
{
    Image img(w, h);
    DrawTestPicture(img.View(), pid, frame);
    return img;
}

}  // namespace

TEST(TestPicture, BackgroundDiffersBetweenServices)
{
    const int pids[] = {kUnknownPid, 100, 101, 120, 160, 200, 300, 511, 1000, 4097, 8191};
    for (int a : pids) {
        for (int b : pids) {
            if (a != b) {
                EXPECT_NE(TestPictureBackground(a), TestPictureBackground(b)) << a << " " << b;
            }
        }
    }
    for (int p : pids) EXPECT_NE(kTestPictureInk, TestPictureBackground(p));

    const Image one = Draw(720, 576, 120, 1);
    const Image other = Draw(720, 576, 130, 1);
    EXPECT_EQ(TestPictureBackground(120), one.At(0, 0));
    EXPECT_EQ(TestPictureBackground(130), other.At(0, 0));
    EXPECT_NE(one.bytes, other.bytes);
}

TEST(TestPicture, FrameNumberChangesThePicture)
{
    const Image first = Draw(720, 576, 120, 1);
    const Image second = Draw(720, 576, 120, 2);
    EXPECT_NE(first.bytes, second.bytes);
    // The upper half (the PID) is the same, only the lower half moves.
    EXPECT_EQ(0, std::memcmp(first.bytes.data(), second.bytes.data(), first.bytes.size() / 2));
}

TEST(TestPicture, DigitsAreDrawnAsTheFontSays)
{
    // One glyph at a known scale: a 1-digit PID and frame number on a picture whose
    // ink can be counted: each lit font pixel becomes scale x scale ink pixels.
    auto litPixels = [](char c) {
        int n = 0;
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col) n += (GlyphRows(c)[row] >> col) & 1;
        return n;
    };
    const Image img = Draw(720, 576, 7, 1);
    // PID line: 1 char, scale min(540 / 6, 288 / 8) = 36; frame line: min(90, 144 / 8) = 18.
    EXPECT_EQ(litPixels('7') * 36 * 36 + litPixels('1') * 18 * 18, img.CountInk());
    EXPECT_GT(litPixels('8'), litPixels('1'));
    EXPECT_EQ(0, litPixels('x'));
    EXPECT_EQ("----", TestPicturePidText(kUnknownPid));
    EXPECT_EQ("4097", TestPicturePidText(4097));
}

TEST(TestPicture, StaysInsideTinyAndBottomUpViews)
{
    // Bytes around the view must stay untouched, whatever the size.
    for (int side : {1, 2, 5, 13}) {
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(side) * side * 4 + 64, 0xAB);
        PictureView v{buffer.data() + 32, side * 4, side, side};
        DrawTestPicture(v, 8191, 4294967295u);
        for (int i = 0; i < 32; ++i) {
            EXPECT_EQ(0xAB, buffer[i]);
            EXPECT_EQ(0xAB, buffer[buffer.size() - 1 - i]);
        }
    }
    // A bottom-up view gives the same picture upside down in memory.
    Image topDown = Draw(64, 48, 300, 9);
    Image bottomUp(64, 48);
    PictureView v{bottomUp.bytes.data() + 47 * 64 * 4, -64 * 4, 64, 48};
    DrawTestPicture(v, 300, 9);
    for (int y = 0; y < 48; ++y)
        EXPECT_EQ(0, std::memcmp(&topDown.bytes[y * 64 * 4], &bottomUp.bytes[(47 - y) * 64 * 4], 64 * 4));
}
