#include "tools/tsgen/text_coding.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "tools/tsgen/description_lexer.h"

namespace tsgen {
namespace {

constexpr char kLatin9Selector = 0x0B;
constexpr char kUtf8Selector = 0x15;

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One piece of written text: a character, or a byte given with \xNN.
struct Unit {
    char32_t code;
    bool rawByte;
};

// Reads the next unit at `i` and moves past it.
Unit NextUnit(std::string_view text, std::size_t& i, int line)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\\') {
        if (i + 1 >= text.size())
            throw DescriptionError(line, "barre oblique inverse en fin de texte");
        const char e = text[i + 1];
        if (e == '\\' || e == '"') {
            i += 2;
            return {static_cast<char32_t>(e), false};
        }
        if (e != 'x')
            throw DescriptionError(line, std::string("séquence d'échappement inconnue \\") + e);
        const int hi = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
        const int lo = i + 3 < text.size() ? HexValue(text[i + 3]) : -1;
        if (hi < 0 || lo < 0)
            throw DescriptionError(line, "\\x doit être suivi de deux chiffres hexadécimaux");
        i += 4;
        return {static_cast<char32_t>(hi * 16 + lo), true};
    }
    if (c < 0x80) {
        ++i;
        return {c, false};
    }
    const std::size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size())
        throw DescriptionError(line, "UTF-8 mal formé (le fichier doit être en UTF-8)");
    char32_t code = c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            throw DescriptionError(line, "UTF-8 mal formé (le fichier doit être en UTF-8)");
        code = code << 6 | (next & 0x3Fu);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kShortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        throw DescriptionError(line, "UTF-8 mal formé");
    i += length;
    return {code, false};
}

struct Mapping {
    char32_t code;
    std::uint8_t byte;
};

// ISO 6937 letters written as a non-spacing diacritic followed by the base letter.
struct Accented {
    char32_t code;
    std::uint8_t diacritic;
    char base;
};

constexpr std::uint8_t kGrave = 0xC1, kAcute = 0xC2, kCircumflex = 0xC3, kTilde = 0xC4, kDiaeresis = 0xC8,
                       kRing = 0xCA, kCedilla = 0xCB;

constexpr Accented kIso6937Accented[] = {
    {U'À', kGrave, 'A'}, {U'È', kGrave, 'E'}, {U'Ì', kGrave, 'I'}, {U'Ò', kGrave, 'O'}, {U'Ù', kGrave, 'U'},
    {U'à', kGrave, 'a'}, {U'è', kGrave, 'e'}, {U'ì', kGrave, 'i'}, {U'ò', kGrave, 'o'}, {U'ù', kGrave, 'u'},
    {U'Á', kAcute, 'A'}, {U'É', kAcute, 'E'}, {U'Í', kAcute, 'I'}, {U'Ó', kAcute, 'O'}, {U'Ú', kAcute, 'U'},
    {U'Ý', kAcute, 'Y'}, {U'á', kAcute, 'a'}, {U'é', kAcute, 'e'}, {U'í', kAcute, 'i'}, {U'ó', kAcute, 'o'},
    {U'ú', kAcute, 'u'}, {U'ý', kAcute, 'y'},
    {U'Â', kCircumflex, 'A'}, {U'Ê', kCircumflex, 'E'}, {U'Î', kCircumflex, 'I'}, {U'Ô', kCircumflex, 'O'},
    {U'Û', kCircumflex, 'U'}, {U'â', kCircumflex, 'a'}, {U'ê', kCircumflex, 'e'}, {U'î', kCircumflex, 'i'},
    {U'ô', kCircumflex, 'o'}, {U'û', kCircumflex, 'u'},
    {U'Ã', kTilde, 'A'}, {U'Ñ', kTilde, 'N'}, {U'Õ', kTilde, 'O'}, {U'ã', kTilde, 'a'}, {U'ñ', kTilde, 'n'},
    {U'õ', kTilde, 'o'},
    {U'Ä', kDiaeresis, 'A'}, {U'Ë', kDiaeresis, 'E'}, {U'Ï', kDiaeresis, 'I'}, {U'Ö', kDiaeresis, 'O'},
    {U'Ü', kDiaeresis, 'U'}, {U'Ÿ', kDiaeresis, 'Y'}, {U'ä', kDiaeresis, 'a'}, {U'ë', kDiaeresis, 'e'},
    {U'ï', kDiaeresis, 'i'}, {U'ö', kDiaeresis, 'o'}, {U'ü', kDiaeresis, 'u'}, {U'ÿ', kDiaeresis, 'y'},
    {U'Å', kRing, 'A'}, {U'å', kRing, 'a'},
    {U'Ç', kCedilla, 'C'}, {U'ç', kCedilla, 'c'},
};

// ISO 6937 spacing characters and letters of their own above 0x7F.
constexpr Mapping kIso6937Single[] = {
    {U'\u00A0', 0xA0}, {U'¡', 0xA1}, {U'¢', 0xA2}, {U'£', 0xA3}, {U'¥', 0xA5}, {U'§', 0xA7},
    {U'‘', 0xA9}, {U'“', 0xAA}, {U'«', 0xAB}, {U'°', 0xB0}, {U'±', 0xB1}, {U'²', 0xB2},
    {U'³', 0xB3}, {U'×', 0xB4}, {U'µ', 0xB5}, {U'¶', 0xB6}, {U'·', 0xB7}, {U'÷', 0xB8},
    {U'’', 0xB9}, {U'”', 0xBA}, {U'»', 0xBB}, {U'¼', 0xBC}, {U'½', 0xBD}, {U'¾', 0xBE},
    {U'¿', 0xBF}, {U'Æ', 0xE1}, {U'Ø', 0xE9}, {U'Œ', 0xEA}, {U'æ', 0xF1}, {U'ø', 0xF9},
    {U'œ', 0xFA}, {U'ß', 0xFB},
};

// Where ISO 8859-15 differs from ISO 8859-1.
constexpr Mapping kLatin9Changes[] = {
    {U'€', 0xA4}, {U'Š', 0xA6}, {U'š', 0xA8}, {U'Ž', 0xB4},
    {U'ž', 0xB8}, {U'Œ', 0xBC}, {U'œ', 0xBD}, {U'Ÿ', 0xBE},
};

template <std::size_t N>
const Mapping* Find(const Mapping (&table)[N], char32_t code)
{
    const auto it = std::find_if(std::begin(table), std::end(table), [&](const Mapping& m) { return m.code == code; });
    return it == std::end(table) ? nullptr : it;
}

[[noreturn]] void Unrepresentable(int line, const char* table)
{
    throw DescriptionError(line, std::string("caractère impossible en ") + table + " : écrivez ses octets en \\xNN");
}

void AppendIso6937(std::string& out, char32_t code, int line)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    if (const Mapping* m = Find(kIso6937Single, code)) {
        out += static_cast<char>(m->byte);
        return;
    }
    const auto accented = std::find_if(std::begin(kIso6937Accented), std::end(kIso6937Accented),
                                       [&](const Accented& a) { return a.code == code; });
    if (accented == std::end(kIso6937Accented))
        Unrepresentable(line, "ISO 6937");
    out += static_cast<char>(accented->diacritic);
    out += accented->base;
}

void AppendLatin9(std::string& out, char32_t code, int line)
{
    if (const Mapping* m = Find(kLatin9Changes, code)) {
        out += static_cast<char>(m->byte);
        return;
    }
    const bool replaced = std::any_of(std::begin(kLatin9Changes), std::end(kLatin9Changes),
                                      [&](const Mapping& m) { return m.byte == code; });
    if (code > 0xFF || replaced)
        Unrepresentable(line, "ISO 8859-15");
    out += static_cast<char>(code);
}

}  // namespace

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::optional<TextCoding> ParseTextCoding(std::string_view name)
{
    if (name == "latin1")
        return TextCoding::Latin1;
    if (name == "6937")
        return TextCoding::Iso6937;
    if (name == "latin9")
        return TextCoding::Latin9;
    if (name == "utf8")
        return TextCoding::Utf8;
    return std::nullopt;
}

std::string EncodeText(std::string_view written, TextCoding coding, int line)
{
    std::string out;
    if (!written.empty() && coding == TextCoding::Latin9)
        out += kLatin9Selector;
    if (!written.empty() && coding == TextCoding::Utf8)
        out += kUtf8Selector;
    for (std::size_t i = 0; i < written.size();) {
        const Unit unit = NextUnit(written, i, line);
        if (unit.rawByte) {
            out += static_cast<char>(unit.code);
            continue;
        }
        switch (coding) {
        case TextCoding::Latin1:
            if (unit.code > 0xFF)
                throw DescriptionError(line, "caractère hors ISO-8859-1 : écrivez ses octets en \\xNN");
            out += static_cast<char>(unit.code);
            break;
        case TextCoding::Iso6937:
            AppendIso6937(out, unit.code, line);
            break;
        case TextCoding::Latin9:
            AppendLatin9(out, unit.code, line);
            break;
        case TextCoding::Utf8:
            AppendUtf8(out, unit.code);
            break;
        }
    }
    return out;
}

}  // namespace tsgen
