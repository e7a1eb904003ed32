#include "tools/tsgen/description_lexer.h"

#include <cctype>

namespace tsgen {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

DescriptionError::DescriptionError(int line, const std::string& message)
    : std::runtime_error("ligne " + std::to_string(line) + " : " + message), line_(line)
{
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
        result.fields.push_back({key, raw});
    }
    return result;
}

}  // namespace tsgen
