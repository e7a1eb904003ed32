#include "guide/schedule/search_words.h"

#include <algorithm>
#include <cstdint>

namespace {

// U+00C0 to U+00FF without their accents, lower case; 0 for the signs that are
// no letters (× and ÷). ß and æ take two letters and are handled apart.
constexpr char kLatin1[64 + 1] =
    "aaaaaaaceeeeiiii"   // À Á Â Ã Ä Å Æ Ç È É Ê Ë Ì Í Î Ï
    "dnooooo\0ouuuuyts"  // Ð Ñ Ò Ó Ô Õ Ö × Ø Ù Ú Û Ü Ý Þ ß
    "aaaaaaaceeeeiiii"   // à ... ï
    "dnooooo\0ouuuuyty";  // ð ñ ò ó ô õ ö ÷ ø ù ú û ü ý þ ÿ

// The next code point of `s` from `i`, or -1 for a malformed sequence (one byte
// consumed).
long Next(std::string_view s, std::size_t& i)
{
    const auto c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80)
        return c;
    int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (more < 0 || c > 0xF4)
        return -1;
    long cp = c & (0x3F >> more);
    for (; more > 0; --more) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return -1;
        cp = cp << 6 | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}

void AppendUtf8(std::string& out, long cp)
{
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

}  // namespace

std::vector<std::string> SearchWords(std::string_view utf8)
{
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty())
            words.push_back(std::move(word));
        word.clear();
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const long cp = Next(utf8, i);
        if (cp < 0) {
            continue;
        } else if ((cp >= '0' && cp <= '9') || (cp >= 'a' && cp <= 'z')) {
            word += static_cast<char>(cp);
        } else if (cp >= 'A' && cp <= 'Z') {
            word += static_cast<char>(cp - 'A' + 'a');
        } else if (cp == 0xDF) {
            word += "ss";
        } else if (cp == 0xC6 || cp == 0xE6) {
            word += "ae";
        } else if (cp == 0x152 || cp == 0x153) {
            word += "oe";
        } else if (cp >= 0xC0 && cp <= 0xFF && kLatin1[cp - 0xC0] != '\0') {
            word += kLatin1[cp - 0xC0];
        } else if (cp > 0xFF && cp != 0x2019 && !(cp >= 0x2000 && cp <= 0x206F) && !(cp >= 0xFFF0)) {
            // Other scripts are kept as they are (case and all): they are
            // letters more often than not, and a search for them still finds
            // them written the same way.
            AppendUtf8(word, cp);
        } else {
            flush();
        }
    }
    flush();
    return words;
}

bool MatchesAllWords(const std::vector<std::string>& query, const std::vector<std::string>& words)
{
    if (query.empty())
        return false;
    return std::all_of(query.begin(), query.end(), [&](const std::string& q) {
        return std::any_of(words.begin(), words.end(), [&](const std::string& w) { return w.starts_with(q); });
    });
}
