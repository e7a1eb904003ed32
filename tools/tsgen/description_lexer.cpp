#include "tools/tsgen/description_lexer.h"

#include <cctype>

namespace tsgen {
namespace {

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

// A well-formed UTF-8 sequence of three or four bytes at `i`: a character
// beyond U+07FF, which ISO 8859-1 cannot hold.
bool IsLongUtf8(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size())
        return false;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return false;
    return true;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

DescriptionError::DescriptionError(int line, const std::string& message)
    : std::runtime_error("ligne " + std::to_string(line) + " : " + message), line_(line)
{
}

std::string DecodeText(std::string_view text, int line)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            if (i + 1 >= text.size())
                throw DescriptionError(line, "barre oblique inverse en fin de texte");
            const char e = text[i + 1];
            if (e == '\\' || e == '"') {
                out += e;
                i += 2;
            } else if (e == 'x') {
                const int hi = i + 2 < text.size() ? HexValue(text[i + 2]) : -1;
                const int lo = i + 3 < text.size() ? HexValue(text[i + 3]) : -1;
                if (hi < 0 || lo < 0)
                    throw DescriptionError(line, "\\x doit être suivi de deux chiffres hexadécimaux");
                out += static_cast<char>(hi * 16 + lo);
                i += 4;
            } else {
                throw DescriptionError(line, std::string("séquence d'échappement inconnue \\") + e);
            }
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            const unsigned code = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
            if (code < 0x80)
                throw DescriptionError(line, "UTF-8 mal formé");
            if (code > 0xFF)
                throw DescriptionError(line, "caractère hors ISO-8859-1 : écrivez ses octets en \\xNN");
            out += static_cast<char>(code);
            i += 2;
        } else if (IsLongUtf8(text, i)) {
            throw DescriptionError(line, "caractère hors ISO-8859-1 : écrivez ses octets en \\xNN");
        } else {
            throw DescriptionError(line, "UTF-8 mal formé (le fichier doit être en UTF-8)");
        }
    }
    return out;
}

DescriptionLine SplitLine(std::string_view text, int number)
{
    DescriptionLine result;
    result.number = number;
    std::size_t i = 0;
    auto skipSpaces = [&] {
        while (i < text.size() && IsSpace(text[i]))
            ++i;
    };
    skipSpaces();
    const std::size_t keywordStart = i;
    while (i < text.size() && !IsSpace(text[i]) && text[i] != '#')
        ++i;
    result.keyword = std::string(text.substr(keywordStart, i - keywordStart));
    for (;;) {
        skipSpaces();
        if (i >= text.size() || text[i] == '#')
            break;
        const std::size_t keyStart = i;
        while (i < text.size() && text[i] != '=' && !IsSpace(text[i]) && text[i] != '#')
            ++i;
        const std::string key(text.substr(keyStart, i - keyStart));
        if (i >= text.size() || text[i] != '=' || key.empty())
            throw DescriptionError(number, "champ « " + key + " » sans valeur (attendu clé=valeur)");
        ++i;
        std::string raw;
        if (i < text.size() && text[i] == '"') {
            ++i;
            const std::size_t valueStart = i;
            while (i < text.size() && text[i] != '"')
                i += (text[i] == '\\' && i + 1 < text.size()) ? 2 : 1;
            if (i >= text.size())
                throw DescriptionError(number, "guillemet fermant manquant pour « " + key + " »");
            raw = std::string(text.substr(valueStart, i - valueStart));
            ++i;
            if (i < text.size() && !IsSpace(text[i]) && text[i] != '#')
                throw DescriptionError(number, "espace attendu après la valeur de « " + key + " »");
        } else {
            const std::size_t valueStart = i;
            while (i < text.size() && !IsSpace(text[i]) && text[i] != '#')
                ++i;
            raw = std::string(text.substr(valueStart, i - valueStart));
        }
        for (const Field& f : result.fields)
            if (f.key == key)
                throw DescriptionError(number, "champ « " + key + " » répété");
        result.fields.push_back({key, DecodeText(raw, number)});
    }
    return result;
}

}  // namespace tsgen
