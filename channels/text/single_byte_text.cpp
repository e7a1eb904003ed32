// The one-byte tables: ISO/IEC 8859 and the default table, ISO/IEC 6937.
#include "channels/text/text_decoders.h"
#include "channels/text/text_tables.h"

namespace {

constexpr std::uint8_t kHighHalf = 0xA0;
constexpr std::uint8_t kFirstDiacritic = 0xC0;
constexpr char16_t kSpace = u' ';

// Position of an ASCII letter in the composition table ('A'..'Z', 'a'..'z'), or -1.
int LetterIndex(std::uint8_t b)
{
    if (b >= 'A' && b <= 'Z')
        return b - 'A';
    if (b >= 'a' && b <= 'z')
        return 26 + (b - 'a');
    return -1;
}

char16_t CombiningMark(std::uint8_t b)
{
    return b >= kFirstDiacritic && b < kFirstDiacritic + 16 ? kIso6937CombiningMark[b - kFirstDiacritic] : 0;
}

// A byte of ISO 6937 that stands for a character of its own: a printable
// character that is neither a control code nor a diacritic nor unassigned.
char16_t Iso6937Spacing(std::uint8_t b)
{
    if (b > 0x20 && b < 0x7F)
        return b;
    if (b >= kHighHalf) {
        const char16_t c = kIso6937High[b - kHighHalf];
        if (c != 0 && c != 0xFFFD)
            return c;
    }
    return 0;
}

}  // namespace

void AppendForDisplay(char16_t c, std::u16string& out)
{
    const bool c0 = c < 0x20 || c == 0x7F;
    const bool c1 = c >= 0x80 && c <= 0x9F;
    const bool dvbPrivate = c >= 0xE080 && c <= 0xE09F;  // DVB's controls in 16-bit tables
    if (!c0 && !c1 && !dvbPrivate) {
        out.push_back(c);
        return;
    }
    const char16_t low = dvbPrivate ? static_cast<char16_t>(c - 0xE000) : c;
    if (low == 0x8A || low == u'\t' || low == u'\n' || low == u'\r')
        out.push_back(kSpace);
}

void AppendIso8859(std::span<const std::uint8_t> text, int part, std::u16string& out)
{
    const char16_t* high = kIso8859High[part & 0x0F];
    for (const std::uint8_t b : text)
        AppendForDisplay(b < kHighHalf ? char16_t{b} : high[b - kHighHalf], out);
}

// A diacritic applies to the character after it: with a letter that Unicode
// composes it gives the precomposed letter ("\xC2" "e" is é); with a space, the
// spacing accent; with any other character, that character followed by the
// combining mark, so nothing the broadcaster sent is lost. A diacritic followed
// by a control code, another diacritic or the end of the text has nothing to
// sit on and is dropped.
void AppendIso6937(std::span<const std::uint8_t> text, std::u16string& out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t b = text[i];
        const char16_t mark = CombiningMark(b);
        if (mark == 0) {
            AppendForDisplay(b < kHighHalf ? char16_t{b} : kIso6937High[b - kHighHalf], out);
            continue;
        }
        if (i + 1 == text.size())
            break;
        const std::uint8_t next = text[i + 1];
        const int diacritic = b - kFirstDiacritic;
        if (next == kSpace) {
            out.push_back(kIso6937SpacingMark[diacritic]);
            ++i;
        } else if (const int letter = LetterIndex(next); letter >= 0 && kIso6937Composed[diacritic][letter] != 0) {
            out.push_back(kIso6937Composed[diacritic][letter]);
            ++i;
        } else if (const char16_t base = Iso6937Spacing(next); base != 0) {
            out.push_back(base);
            out.push_back(mark);
            ++i;
        }
    }
}
