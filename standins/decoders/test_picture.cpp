#include "standins/decoders/test_picture.h"

#include <algorithm>

#include "standins/decoders/pixel_font.h"

namespace standin {

namespace {

// Glyph cell: the glyph and one column / row of spacing.
constexpr int kCellWidth = kGlyphWidth + 1;
constexpr int kCellHeight = kGlyphHeight + 1;

void PutPixel(const PictureView& v, int x, int y, std::uint32_t rgb)
{
    std::uint8_t* p = v.top + static_cast<std::ptrdiff_t>(y) * v.strideBytes + static_cast<std::ptrdiff_t>(x) * 4;
    p[0] = static_cast<std::uint8_t>(rgb);
    p[1] = static_cast<std::uint8_t>(rgb >> 8);
    p[2] = static_cast<std::uint8_t>(rgb >> 16);
    p[3] = 0;
}

void FillRect(const PictureView& v, int x0, int y0, int x1, int y1, std::uint32_t rgb)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, v.width);
    y1 = std::min(y1, v.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) PutPixel(v, x, y, rgb);
}

// Writes `text` centred horizontally with its top at `top`, each font pixel a
// `scale` x `scale` square.
void DrawText(const PictureView& v, const std::string& text, int top, int scale)
{
    const int textWidth = static_cast<int>(text.size()) * kCellWidth * scale - scale;
    int left = (v.width - textWidth) / 2;
    for (char c : text) {
        const std::uint8_t* rows = GlyphRows(c);
        for (int row = 0; row < kGlyphHeight; ++row)
            for (int col = 0; col < kGlyphWidth; ++col)
                if (rows[row] & (0x10 >> col)) {
                    const int x = left + col * scale;
                    const int y = top + row * scale;
                    FillRect(v, x, y, x + scale, y + scale, kTestPictureInk);
                }
        left += kCellWidth * scale;
    }
}

// Largest scale at which `chars` glyph cells fit in `width` x `height`, at least 1.
int FitScale(std::size_t chars, int width, int height)
{
    const int byWidth = width / (static_cast<int>(std::max<std::size_t>(chars, 1)) * kCellWidth);
    const int byHeight = height / kCellHeight;
    return std::max(1, std::min(byWidth, byHeight));
}

}  // namespace

std::uint32_t TestPictureBackground(int pid)
{
    if (pid < 0) return 0x00404040;
    // Spread neighbouring PIDs over distant hues (golden-ratio stepping), then take
    // a mid-dark, saturated colour so that white digits stay readable.
    const std::uint32_t hue = (static_cast<std::uint32_t>(pid) * 0x9E3779B1u) >> 16;   // 0..65535
    const std::uint32_t sector = hue * 6 / 65536;                                    // 0..5
    const std::uint32_t f = (hue * 6 % 65536) * 160 / 65536;                         // 0..159
    constexpr std::uint32_t hi = 176, lo = 16;
    std::uint32_t r = lo, g = lo, b = lo;
    switch (sector) {
    case 0: r = hi; g = lo + f; break;
    case 1: r = hi - f; g = hi; break;
    case 2: g = hi; b = lo + f; break;
    case 3: g = hi - f; b = hi; break;
    case 4: b = hi; r = lo + f; break;
    default: b = hi - f; r = hi; break;
    }
    return (r << 16) | (g << 8) | b;
}

std::string TestPicturePidText(int pid)
{
    return pid < 0 ? std::string("----") : std::to_string(pid);
}

std::string TestPictureFrameText(std::uint32_t frameNumber)
{
    return std::to_string(frameNumber);
}

void DrawTestPicture(const PictureView& view, int pid, std::uint32_t frameNumber, const char* marker)
{
    if (!view.top || view.width <= 0 || view.height <= 0) return;
    FillRect(view, 0, 0, view.width, view.height, TestPictureBackground(pid));

    // The PID fills most of the upper half, the frame number a quarter of the height
    // below it; both keep a margin of an eighth of the width on each side.
    const int usableWidth = view.width * 3 / 4;
    const std::string pidText = TestPicturePidText(pid);
    const std::string frameText = TestPictureFrameText(frameNumber);
    const int pidScale = FitScale(pidText.size(), usableWidth, view.height / 2);
    const int frameScale = FitScale(frameText.size(), usableWidth, view.height / 4);
    DrawText(view, pidText, view.height / 2 - kGlyphHeight * pidScale - view.height / 16, pidScale);
    DrawText(view, frameText, view.height / 2 + view.height / 8, frameScale);
    if (marker) {
        const std::string text(marker);
        const int band = view.height / 8;
        FillRect(view, 0, view.height - band, view.width, view.height, kTestPictureMarkerBand);
        const int scale = FitScale(text.size(), usableWidth / 2, band * 3 / 4);
        DrawText(view, text, view.height - band + (band - kGlyphHeight * scale) / 2, scale);
    }
}

}  // namespace standin
