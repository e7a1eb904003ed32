#include "tools/tsgen/teletext_encoder.h"

#include <string_view>

#include "graph/subtitles/teletext_codes.h"

namespace tsgen {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A data unit of a subtitle packet: line 21 of the first field, the framing
// code, the address, the data block; every byte least significant bit first.
Bytes Unit(unsigned magazine, unsigned packet, const std::uint8_t (&block)[40])
{
    Bytes unit{0x03, 0x2C, 0xE0 | 21, ReverseBits(0x27)};
    const unsigned m = magazine & 0x07;  // magazine 8 is sent as 0
    unit.push_back(ReverseBits(EncodeHamming84(static_cast<std::uint8_t>(m | (packet & 1) << 3))));
    unit.push_back(ReverseBits(EncodeHamming84(static_cast<std::uint8_t>(packet >> 1))));
    for (std::uint8_t b : block)
        unit.push_back(ReverseBits(b));
    return unit;
}

Bytes Header(const TeletextPageSpec& page)
{
    std::uint8_t block[40];
    const std::uint8_t nibbles[8] = {
        static_cast<std::uint8_t>(page.page & 0x0F),
        static_cast<std::uint8_t>(page.page >> 4 & 0x0F),
        0,
        static_cast<std::uint8_t>(page.erase ? 0x08 : 0),
        0,
        static_cast<std::uint8_t>(page.subtitle ? 0x08 : 0),
        0,
        static_cast<std::uint8_t>((page.nationalOption >> 2 & 1) << 1 | (page.nationalOption >> 1 & 1) << 2 |
                                  (page.nationalOption & 1) << 3),
    };
    for (int i = 0; i < 8; ++i)
        block[i] = EncodeHamming84(nibbles[i]);
    for (int i = 8; i < 40; ++i)
        block[i] = EncodeOddParity(' ');
    return Unit(page.page >> 8, 0, block);
}

}  // namespace

std::optional<std::string> TeletextCodes(const std::string& latin1)
{
    // The French subset takes the places of these ASCII characters ('#' keeps its own).
    static constexpr struct {
        unsigned char latin1;
        char code;
    } kFrench[] = {{0xE9, 0x23}, {0xEF, 0x24}, {0xE0, 0x40}, {0xEB, 0x5B}, {0xEA, 0x5C}, {0xF9, 0x5D},
                   {0xEE, 0x5E}, {'#', 0x5F},  {0xE8, 0x60}, {0xE2, 0x7B}, {0xF4, 0x7C}, {0xFB, 0x7D},
                   {0xE7, 0x7E}};
    static constexpr std::string_view kReplaced = "#$@[\\]^_`{|}~";
    std::string codes;
    for (const char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        bool found = false;
        for (const auto& f : kFrench)
            if (f.latin1 == c) {
                codes += f.code;
                found = true;
            }
        if (found)
            continue;
        if (c < 0x20 || c > 0x7E || kReplaced.find(static_cast<char>(c)) != std::string_view::npos)
            return std::nullopt;
        codes += static_cast<char>(c);
    }
    return codes;
}

TeletextRowText BoxedRow(unsigned row, std::uint8_t colour, const std::string& text)
{
    std::string codes;
    codes += static_cast<char>(colour & 0x07);
    codes += "\x0B\x0B";
    codes += text;
    codes += "\x0A\x0A";
    if (codes.size() < 40)
        codes.insert(0, (40 - codes.size()) / 2, ' ');  // centred, as subtitles are
    return {row, codes.substr(0, 40)};
}

std::vector<std::uint8_t> EncodeTeletextHeaderUnit(const TeletextPageSpec& page)
{
    return Header(page);
}

std::vector<std::uint8_t> EncodeTeletextPage(const TeletextPageSpec& page)
{
    Bytes out{0x10};
    const Bytes header = Header(page);
    out.insert(out.end(), header.begin(), header.end());
    for (const TeletextRowText& row : page.rows) {
        std::uint8_t block[40];
        for (int i = 0; i < 40; ++i)
            block[i] = EncodeOddParity(i < static_cast<int>(row.codes.size()) ? static_cast<std::uint8_t>(row.codes[i]) : ' ');
        const Bytes unit = Unit(page.page >> 8, row.row, block);
        out.insert(out.end(), unit.begin(), unit.end());
    }
    return out;
}

}  // namespace tsgen
