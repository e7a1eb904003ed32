#pragma once
// How the description's written texts become broadcast text: the character
// table they are sent in, and the selector byte that announces it.
#include <optional>
#include <string>
#include <string_view>

namespace tsgen {

enum class TextCoding {
    Latin1,   // one ISO 8859-1 byte per letter, no selector (what many muxers send)
    Iso6937,  // the default table: accents as a non-spacing diacritic before the letter
    Latin9,   // selector 0x0B, then ISO 8859-15 bytes
    Utf8,     // selector 0x15, then UTF-8
};

// "latin1", "6937", "latin9" or "utf8".
std::optional<TextCoding> ParseTextCoding(std::string_view name);

// Written text (UTF-8 with the escapes \\, \" and \xNN) to broadcast bytes in
// `coding`. A \xNN byte is written as it stands, after the selector. A non-empty
// text in a table with a selector starts with it; an empty text stays empty.
// A character the table cannot hold, malformed UTF-8 and unknown escapes throw
// DescriptionError for `line`.
std::string EncodeText(std::string_view written, TextCoding coding, int line);

// Appends the UTF-8 bytes of one character.
void AppendUtf8(std::string& out, char32_t code);

}  // namespace tsgen
