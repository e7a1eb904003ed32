#include "graph/subtitles/subtitle_clut.h"

#include <algorithm>

namespace {

unsigned Clamp255(int v)
{
    return static_cast<unsigned>(std::clamp(v, 0, 255));
}

// The tables a decoder starts with. Their colours come from the bits of the
// entry number: bit 0 red, bit 1 green, bit 2 blue, at full or half level.
SubtitleClut MakeDefaultClut()
{
    SubtitleClut clut{};
    // 2-bit: clear, white, black, grey.
    clut.twoBit = {MakeArgb(0, 0, 0, 0), MakeArgb(255, 255, 255, 255), MakeArgb(255, 0, 0, 0),
                   MakeArgb(255, 127, 127, 127)};

    clut.fourBit[0] = MakeArgb(0, 0, 0, 0);
    for (unsigned i = 1; i < 16; ++i) {
        const unsigned level = i < 8 ? 255 : 127;
        clut.fourBit[i] = MakeArgb(255, (i & 1) ? level : 0, (i & 2) ? level : 0, (i & 4) ? level : 0);
    }

    // 8-bit: the first eight at full level and three-quarter transparency; the
    // rest by bits 3 and 7 (levels and opacity), bits 0-2 and 4-6 the weights.
    clut.eightBit[0] = MakeArgb(0, 0, 0, 0);
    for (unsigned i = 1; i < 256; ++i) {
        if (i < 8) {
            clut.eightBit[i] = MakeArgb(64, (i & 1) ? 255 : 0, (i & 2) ? 255 : 0, (i & 4) ? 255 : 0);
            continue;
        }
        const auto level = [i](unsigned low, unsigned high, unsigned lowWeight, unsigned highWeight) {
            return ((i & low) ? lowWeight : 0) + ((i & high) ? highWeight : 0);
        };
        unsigned r = 0, g = 0, b = 0, a = 255;
        switch (i & 0x88) {
        case 0x00:
        case 0x08:
            r = level(0x01, 0x10, 85, 170);
            g = level(0x02, 0x20, 85, 170);
            b = level(0x04, 0x40, 85, 170);
            a = (i & 0x88) == 0x08 ? 128 : 255;
            break;
        case 0x80:
            r = 127 + level(0x01, 0x10, 43, 85);
            g = 127 + level(0x02, 0x20, 43, 85);
            b = 127 + level(0x04, 0x40, 43, 85);
            break;
        default:  // 0x88
            r = level(0x01, 0x10, 43, 85);
            g = level(0x02, 0x20, 43, 85);
            b = level(0x04, 0x40, 43, 85);
            break;
        }
        clut.eightBit[i] = MakeArgb(a, r, g, b);
    }
    return clut;
}

}  // namespace

const SubtitleClut& DefaultClut()
{
    static const SubtitleClut clut = MakeDefaultClut();
    return clut;
}

Argb ArgbFromYCrCbT(std::uint8_t y, std::uint8_t cr, std::uint8_t cb, std::uint8_t t)
{
    if (y == 0)
        return MakeArgb(0, 0, 0, 0);
    // BT.601 studio range, in 1/1024 steps.
    const int c = (y - 16) * 1192;
    const int d = cb - 128;
    const int e = cr - 128;
    const unsigned r = Clamp255((c + 1634 * e + 512) >> 10);
    const unsigned g = Clamp255((c - 401 * d - 832 * e + 512) >> 10);
    const unsigned b = Clamp255((c + 2066 * d + 512) >> 10);
    return MakeArgb(255u - t, r, g, b);
}

YCrCbT YCrCbTFromArgb(Argb colour)
{
    const int a = static_cast<int>(colour >> 24 & 0xFF);
    const int r = static_cast<int>(colour >> 16 & 0xFF);
    const int g = static_cast<int>(colour >> 8 & 0xFF);
    const int b = static_cast<int>(colour & 0xFF);
    if (a == 0)
        return {0, 128, 128, 255};
    const int y = 16 + ((263 * r + 516 * g + 100 * b + 512) >> 10);
    const int cb = 128 + ((-152 * r - 298 * g + 450 * b + 512) >> 10);
    const int cr = 128 + ((450 * r - 377 * g - 73 * b + 512) >> 10);
    return {static_cast<std::uint8_t>(std::clamp(y, 16, 235)), static_cast<std::uint8_t>(std::clamp(cr, 16, 240)),
            static_cast<std::uint8_t>(std::clamp(cb, 16, 240)), static_cast<std::uint8_t>(255 - a)};
}
