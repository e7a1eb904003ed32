#pragma once
// An encoder of teletext subtitle pages in the PES data field of EN 300 472:
// a page header and its rows as data units of 44 bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tsgen {

struct TeletextRowText {
    unsigned row = 22;  // 1-23
    // Level 1 codes, 0x00-0x7F: spacing attributes and G0 characters. Up to 40.
    std::string codes;
};

struct TeletextPageSpec {
    std::uint16_t page = 0x888;       // magazine and page number, as shown
    bool subtitle = true;             // C6: only boxed text is shown
    bool erase = true;                // C4
    std::uint8_t nationalOption = 4;  // C12 C13 C14: 4 is French
    std::vector<TeletextRowText> rows;
};

// A subtitle row as a broadcaster boxes it: `colour` (0-7), start box twice,
// the text, end box twice.
TeletextRowText BoxedRow(unsigned row, std::uint8_t colour, const std::string& text);

// ISO 8859-1 text as codes of the Latin G0 set with the French subset; nullopt
// when a character has no code there.
std::optional<std::string> TeletextCodes(const std::string& latin1);

// The PES data field: data identifier 0x10, then the header and the rows.
std::vector<std::uint8_t> EncodeTeletextPage(const TeletextPageSpec& page);

// One data unit of a page header alone (ends the page before it in its magazine).
std::vector<std::uint8_t> EncodeTeletextHeaderUnit(const TeletextPageSpec& page);

}  // namespace tsgen
