#pragma once
// The character table of a DVB text (ETSI EN 300 468 annex A), for a text whose
// table was chosen before its bytes: the guide's text copy takes a leading
// ISO/IEC 8859-9 selector off and keeps this beside the text instead.
#include <cstdint>

enum class DvbTextTable : std::uint8_t {
    FromText = 0,  // the text's own first byte decides: a selector, or the default table
    // ISO/IEC 8859 parts; the value is the part number (there is no part 12).
    Iso8859_1 = 1,
    Iso8859_2,
    Iso8859_3,
    Iso8859_4,
    Iso8859_5,
    Iso8859_6,
    Iso8859_7,
    Iso8859_8,
    Iso8859_9,
    Iso8859_10,
    Iso8859_11,
    Iso8859_13 = 13,
    Iso8859_14,
    Iso8859_15,
    Iso6937 = 0x20,  // the default table
    Ucs2,            // ISO/IEC 10646 basic multilingual plane, two bytes big-endian
    Utf8,
};
