#pragma once
// What the DVB text decoder promises of every result, checked by its tests and
// its fuzz target alike: well-formed UTF-16 (no lone surrogate) holding no C0 or
// C1 control and none of DVB's private-use control codes U+E080 to U+E09F.
#include <cstddef>
#include <string>

namespace tstest {

inline bool IsOneLineUtf16(const std::u16string& s)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0xE080 && c <= 0xE09F) || (c >= 0xDC00 && c <= 0xDFFF))
            return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF)
                return false;
            ++i;
        }
    }
    return true;
}

}  // namespace tstest
