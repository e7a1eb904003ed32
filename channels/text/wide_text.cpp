// The tables of ISO/IEC 10646: two bytes big-endian (UCS-2), and UTF-8.
#include "channels/text/text_decoders.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodePoint(char32_t c, std::u16string& out)
{
    if (c < 0x10000) {
        AppendForDisplay(static_cast<char16_t>(c), out);
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

// The well-formed UTF-8 sequences (Unicode, table 3-7): a lead byte gives the
// number of continuation bytes and the range allowed for the first of them,
// which is what rules out overlong forms, surrogates and values past U+10FFFF.
struct Utf8Lead {
    int continuations;  // -1: not a lead byte
    std::uint8_t firstLow;
    std::uint8_t firstHigh;
    char32_t bits;
};

Utf8Lead ReadLead(std::uint8_t b)
{
    if (b < 0x80)
        return {0, 0, 0, b};
    if (b >= 0xC2 && b <= 0xDF)
        return {1, 0x80, 0xBF, static_cast<char32_t>(b & 0x1F)};
    if (b >= 0xE0 && b <= 0xEF) {
        const std::uint8_t low = b == 0xE0 ? 0xA0 : 0x80;
        const std::uint8_t high = b == 0xED ? 0x9F : 0xBF;
        return {2, low, high, static_cast<char32_t>(b & 0x0F)};
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const std::uint8_t low = b == 0xF0 ? 0x90 : 0x80;
        const std::uint8_t high = b == 0xF4 ? 0x8F : 0xBF;
        return {3, low, high, static_cast<char32_t>(b & 0x07)};
    }
    return {-1, 0, 0, 0};
}

}  // namespace

// A lone odd byte at the end is half a character: it is dropped. A surrogate
// pair (strictly UTF-16, beyond UCS-2) is kept as sent; a lone surrogate
// becomes U+FFFD, since it would make the whole string ill-formed.
void AppendUcs2(std::span<const std::uint8_t> text, std::u16string& out)
{
    const std::size_t units = text.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t c = static_cast<char16_t>(text[2 * i] << 8 | text[2 * i + 1]);
        if (IsHighSurrogate(c) && i + 1 < units) {
            const char16_t next = static_cast<char16_t>(text[2 * i + 2] << 8 | text[2 * i + 3]);
            if (IsLowSurrogate(next)) {
                out.push_back(c);
                out.push_back(next);
                ++i;
                continue;
            }
        }
        AppendForDisplay(IsHighSurrogate(c) || IsLowSurrogate(c) ? kReplacement : c, out);
    }
}

// Each maximal part of an ill-formed sequence gives one U+FFFD, and decoding
// resumes at the byte that broke it, so one bad byte never swallows the
// character after it. A sequence cut by the end of the text gives U+FFFD too.
void AppendUtf8(std::span<const std::uint8_t> text, std::u16string& out)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const Utf8Lead lead = ReadLead(text[i++]);
        if (lead.continuations < 0) {
            out.push_back(kReplacement);
            continue;
        }
        char32_t c = lead.bits;
        int read = 0;
        while (read < lead.continuations && i < text.size()) {
            const std::uint8_t b = text[i];
            const std::uint8_t low = read == 0 ? lead.firstLow : 0x80;
            const std::uint8_t high = read == 0 ? lead.firstHigh : 0xBF;
            if (b < low || b > high)
                break;
            c = c << 6 | (b & 0x3F);
            ++i;
            ++read;
        }
        if (read == lead.continuations)
            AppendCodePoint(c, out);
        else
            out.push_back(kReplacement);
    }
}
