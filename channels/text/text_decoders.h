#pragma once
// The decoders of each kind of table, appending to `out`. Internal to
// channels/text; DecodeDvbText (dvb_text.h) chooses among them.
#include <cstdint>
#include <span>
#include <string>

// Appends one character of the basic multilingual plane as shown on one line:
// a line break (DVB's CR/LF, in single bytes or in the private use area, and
// TAB, LF, CR) becomes a space; other control codes, DVB's emphasis on/off among
// them, are dropped.
void AppendForDisplay(char16_t c, std::u16string& out);

void AppendIso8859(std::span<const std::uint8_t> text, int part, std::u16string& out);
void AppendIso6937(std::span<const std::uint8_t> text, std::u16string& out);
void AppendUcs2(std::span<const std::uint8_t> text, std::u16string& out);
void AppendUtf8(std::span<const std::uint8_t> text, std::u16string& out);
