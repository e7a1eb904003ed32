// Pixel code strings as EN 300 743 lays them out, written bit by bit here (not by
// the generator's encoder), and the map tables between depths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/subtitles/pixel_strings.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// "01 10 001..." -> bytes, zero-padded; '|' pads to the next byte (the stuffing
// after a string); spaces are for reading.
Bytes Bits(const std::string& text)
{
    Bytes out;
    int used = 0;
    for (char c : text) {
        if (c == '|')
            used = 0;
        if (c != '0' && c != '1')
            continue;
        if (used == 0)
            out.push_back(0);
        if (c == '1')
            out.back() |= static_cast<std::uint8_t>(0x80 >> used);
        used = (used + 1) & 7;
    }
    return out;
}

// The codes drawn into a width x lines grid, one string per line ('.' for 0 when not drawn).
std::vector<std::string> Draw(const Bytes& block, RegionDepth depth, unsigned width, unsigned lines, bool* good = nullptr)
{
    std::vector<std::string> grid(lines, std::string(width, '.'));
    PixelMaps maps;
    const bool ok = DecodePixelBlock(block.data(), block.size(), depth, width, lines, maps, [&](const PixelRun& run) {
        ASSERT_LT(run.line, lines);
        ASSERT_LE(run.x + run.count, width);
        for (unsigned i = 0; i < run.count; ++i)
            grid[run.line][run.x + i] = "0123456789ABCDEF"[run.code & 15];
    });
    if (good)
        *good = ok;
    return grid;
}

std::string Repeat(char c, std::size_t n)
{
    return std::string(n, c);
}

TEST(PixelStrings, EveryCodeOfTheThreeStrings)
{
    struct Case {
        const char* what;
        std::string bits;
        RegionDepth depth;
        std::string line;
    };
    const Case cases[] = {
        {"2-bit single pixels", "00010000 01 10 11 000000 | 11110000", 2, "123"},
        {"2-bit runs of 3-10, one and two zeros",
         "00010000 001 010 11 0001 000001 000000 | 11110000", 2, "33333" "0" "00"},
        {"2-bit runs of 12-27 and 29-284",
         "00010000 000010 0001 01 000011 00000000 10 000000 | 11110000", 2,
         Repeat('1', 13) + Repeat('2', 29)},
        {"4-bit single, zeros of 3-9, run of 4-7",
         "00010001 0101 0000 0 011 0000 1 0 10 1001 00000000 | 11110000", 4, "5" "00000" "999999"},
        {"4-bit one zero, two zeros, runs of 9-24 and 25-280",
         "00010001 0000 1100 0000 1101 0000 1110 0011 1111 0000 1111 00000001 0010 00000000 | 11110000", 4,
         "0" "00" + Repeat('F', 12) + Repeat('2', 26)},
        {"8-bit single, zeros, run of a code",
         "00010010 00000111 00000000 0 0000101 00000000 1 0000011 00001111 00000000 0 0000000 | 11110000", 8,
         "7" "00000" "FFF"},
    };
    for (const Case& c : cases) {
        bool good = false;
        const auto grid = Draw(Bits(c.bits), c.depth, 64, 2, &good);
        EXPECT_TRUE(good) << c.what;
        EXPECT_EQ(grid[0], c.line + Repeat('.', 64 - c.line.size())) << c.what;
        EXPECT_EQ(grid[1], Repeat('.', 64)) << c.what;
    }
}

TEST(PixelStrings, MapTablesWidenCodesToTheRegionDepth)
{
    // 2-bit codes 1, 2, 3 in a 4-bit region: default map 7, 8, F.
    EXPECT_EQ(Draw(Bits("00010000 01 10 11 000000 |"), 4, 4, 1)[0], "78F.");
    // In an 8-bit region: 0x77, 0x88, 0xFF (drawn by their low digit here).
    EXPECT_EQ(Draw(Bits("00010000 01 10 11 000000 |"), 8, 4, 1)[0], "78F.");
    // A 2-to-4 map table of its own: 0->1 1->2 2->3 3->4.
    EXPECT_EQ(Draw(Bits("00100000 0001 0010 0011 0100 00010000 01 10 11 000000 |"), 4, 4, 1)[0], "234.");
    // A 4-to-8 map: 4-bit code 3 becomes 0x0C.
    Bytes block = Bits("00100010");
    for (int i = 0; i < 16; ++i)
        block.push_back(static_cast<std::uint8_t>(i == 3 ? 0x0C : 0));
    const Bytes string = Bits("00010001 0011 00000000 |");
    block.insert(block.end(), string.begin(), string.end());
    EXPECT_EQ(Draw(block, 8, 2, 1)[0], "C.");
}

TEST(PixelStrings, LinesAndDamage)
{
    // Three lines; the second is empty, the third is cut to the width.
    EXPECT_EQ(Draw(Bits("00010000 01 000000 | 11110000 11110000 00010000 001 111 11 000000 |"), 2, 4, 3),
              (std::vector<std::string>{"1...", "....", "3333"}));
    // Lines beyond the region are dropped, and so is the rest of a line past the width.
    EXPECT_EQ(Draw(Bits("11110000 11110000 00010000 01 000000 |"), 2, 4, 2),
              (std::vector<std::string>{"....", "...."}));

    bool good = true;
    Draw(Bits("00010001 0000 1111"), 4, 8, 1, &good);  // run of 25-280 cut short
    EXPECT_FALSE(good);
    Draw(Bits("00110000"), 4, 8, 1, &good);  // no such data type
    EXPECT_FALSE(good);
    Draw(Bits("00010010 00000001"), 8, 8, 1, &good);  // no end of string
    EXPECT_FALSE(good);
}

}  // namespace
