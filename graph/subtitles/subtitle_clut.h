#pragma once
// Colour look-up tables of DVB subtitles: one table per CLUT id, with entries
// for 2-, 4- and 8-bit regions, each starting from the default table that a
// decoder holds before any CLUT definition arrives.
//
// Colours are kept as 32-bit 0xAARRGGBB values (alpha 255 opaque, 0 invisible),
// the layout of a 32-bit top-down bitmap with alpha on Windows.
#include <array>
#include <cstdint>

using Argb = std::uint32_t;

constexpr Argb MakeArgb(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return static_cast<Argb>((a & 0xFF) << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF));
}

struct SubtitleClut {
    std::array<Argb, 4> twoBit;
    std::array<Argb, 16> fourBit;
    std::array<Argb, 256> eightBit;
};

// The default tables of every CLUT.
const SubtitleClut& DefaultClut();

// A CLUT entry as broadcast: Y, Cr, Cb in the ITU-R BT.601 studio range
// (16-235, 16-240) and T the transparency (0 opaque, 255 clear). Y of 0 marks a
// fully transparent entry, whatever T says.
Argb ArgbFromYCrCbT(std::uint8_t y, std::uint8_t cr, std::uint8_t cb, std::uint8_t t);

// The inverse, for writers of test streams: the entry that gives (about) this colour.
struct YCrCbT {
    std::uint8_t y, cr, cb, t;
};
YCrCbT YCrCbTFromArgb(Argb colour);
