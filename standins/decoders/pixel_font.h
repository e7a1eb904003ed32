#pragma once
// A 5 x 7 pixel font for the digits, the minus sign and the letters of the codec
// markers, enough to write them on test pictures without any platform font.
#include <cstdint>

namespace standin {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// Row bit masks of a glyph, top row first; bit 4 is the leftmost column. Characters
// other than '0'..'9' and '-' have an empty glyph.
const std::uint8_t* GlyphRows(char c);

}  // namespace standin
