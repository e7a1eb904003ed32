#pragma once
// The pixel data of a DVB subtitle object (coding method 0): one field's block
// of sub-blocks, each a 2-, 4- or 8-bit pixel code string, a map table, or the
// end of a line. The codes come out as runs, already mapped to the depth of the
// region they are drawn into.
#include <cstddef>
#include <cstdint>
#include <functional>

// Depth of a region, in bits per pixel code: 2, 4 or 8.
using RegionDepth = unsigned;

// One run: `count` pixels of `code` from column `x` of line `line` of the field
// (line 0 is the field's first line; the caller interleaves the fields).
struct PixelRun {
    unsigned line;
    unsigned x;
    unsigned count;
    std::uint8_t code;
};
using PixelRunSink = std::function<void(const PixelRun&)>;

// The map tables that widen the codes of a string to its region's depth. They
// start from their defaults in each object and a map-table sub-block replaces one.
struct PixelMaps {
    std::uint8_t twoToFour[4] = {0x0, 0x7, 0x8, 0xF};
    std::uint8_t twoToEight[4] = {0x00, 0x77, 0x88, 0xFF};
    std::uint8_t fourToEight[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                    0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
};

// Decodes one field's block. Runs beyond `maxWidth` columns or `maxLines` lines
// are not reported (an object larger than its region is cut). False when the
// block is damaged: a string cut short or a sub-block of an unknown type. What
// was decoded before the damage has been reported.
bool DecodePixelBlock(const std::uint8_t* data, std::size_t size, RegionDepth depth, unsigned maxWidth,
                      unsigned maxLines, PixelMaps& maps, const PixelRunSink& sink);
