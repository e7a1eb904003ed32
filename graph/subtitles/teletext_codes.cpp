#include "graph/subtitles/teletext_codes.h"

#include <bit>

namespace {

// Code positions that the national option subsets replace.
constexpr std::uint8_t kNationalPositions[13] = {0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D, 0x5E,
                                                 0x5F, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};
constexpr char16_t kEnglish[13] = {u'£', u'$', u'@', u'←', u'½', u'→', u'↑', u'#', u'―', u'¼', u'‖', u'¾', u'÷'};
constexpr char16_t kFrench[13] = {u'é', u'ï', u'à', u'ë', u'ê', u'ù', u'î', u'#', u'è', u'â', u'ô', u'û', u'ç'};

}  // namespace

std::uint8_t ReverseBits(std::uint8_t byte)
{
    byte = static_cast<std::uint8_t>((byte & 0xF0) >> 4 | (byte & 0x0F) << 4);
    byte = static_cast<std::uint8_t>((byte & 0xCC) >> 2 | (byte & 0x33) << 2);
    return static_cast<std::uint8_t>((byte & 0xAA) >> 1 | (byte & 0x55) << 1);
}

std::uint8_t EncodeHamming84(std::uint8_t nibble)
{
    const unsigned d1 = nibble & 1, d2 = nibble >> 1 & 1, d3 = nibble >> 2 & 1, d4 = nibble >> 3 & 1;
    // Each protection bit makes its test odd; P4 makes the whole byte odd.
    const unsigned p1 = 1 ^ d1 ^ d3 ^ d4;
    const unsigned p2 = 1 ^ d1 ^ d2 ^ d4;
    const unsigned p3 = 1 ^ d1 ^ d2 ^ d3;
    const unsigned p4 = 1 ^ p1 ^ d1 ^ p2 ^ d2 ^ p3 ^ d3 ^ d4;
    return static_cast<std::uint8_t>(p1 | d1 << 1 | p2 << 2 | d2 << 3 | p3 << 4 | d3 << 5 | p4 << 6 | d4 << 7);
}

std::optional<std::uint8_t> DecodeHamming84(std::uint8_t byte)
{
    // The sixteen code words lie at least four bits apart: a byte within one
    // bit of a word is that word, one two bits away from two words is neither.
    for (std::uint8_t nibble = 0; nibble < 16; ++nibble)
        if (std::popcount(static_cast<unsigned>(byte ^ EncodeHamming84(nibble))) <= 1)
            return nibble;
    return std::nullopt;
}

std::optional<std::uint8_t> DecodeOddParity(std::uint8_t byte)
{
    if (std::popcount(static_cast<unsigned>(byte)) % 2 == 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(byte & 0x7F);
}

std::uint8_t EncodeOddParity(std::uint8_t character)
{
    character &= 0x7F;
    return std::popcount(static_cast<unsigned>(character)) % 2 == 0 ? static_cast<std::uint8_t>(character | 0x80)
                                                                   : character;
}

char16_t LatinG0(std::uint8_t code, std::uint8_t nationalOption)
{
    code &= 0x7F;
    if (code < 0x20)
        return u' ';
    if (code == 0x7F)
        return u'■';
    const char16_t* subset = nationalOption == static_cast<std::uint8_t>(NationalOption::French) ? kFrench : kEnglish;
    for (int i = 0; i < 13; ++i)
        if (kNationalPositions[i] == code)
            return subset[i];
    return static_cast<char16_t>(code);
}
