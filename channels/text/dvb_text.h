#pragma once
// DVB text (service and provider names, event names and texts) to UTF-16 for
// display on one line.
//
// A first byte below 0x20 selects the character table of the rest; otherwise
// the whole text is in the default table, ISO/IEC 6937, whose accents are
// non-spacing bytes sent before the letter. The emphasis codes are dropped and
// the line break (and TAB, LF, CR) becomes a space; other control codes are
// dropped. A selector that is reserved or names a table this decoder does not
// hold (Korean, Chinese, an encoding_type_id) gives the rest as ISO/IEC 8859-1.
//
// Decoding never fails and never reads outside the bytes given. The result
// never holds more code units than the text has bytes, and is well-formed
// UTF-16: a byte sequence that is not valid in its table becomes U+FFFD.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "channels/text/dvb_text_table.h"

std::u16string DecodeDvbText(std::span<const std::uint8_t> text);

// `text` in `table`, chosen before the text (FromText: as the overload above).
// A selector byte at its start is then a control code and is dropped.
std::u16string DecodeDvbText(std::span<const std::uint8_t> text, DvbTextTable table);

// A text field of a record, up to its NUL (or the whole array, should a broken
// record have none). The selector 0x10 is followed by a 16-bit part number whose
// first byte is 0x00: those two bytes belong to the selector and do not end the text.
template <std::size_t N>
std::u16string DecodeDvbText(const char (&field)[N], DvbTextTable table = DvbTextTable::FromText)
{
    std::size_t length = N >= 3 && table == DvbTextTable::FromText && field[0] == '\x10' ? 3 : 0;
    while (length < N && field[length] != '\0')
        ++length;
    return DecodeDvbText(std::span(reinterpret_cast<const std::uint8_t*>(field), length), table);
}
