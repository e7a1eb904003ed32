#include "channels/text/dvb_text.h"
#include "tests/support/one_line_text.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::u16string Decode(const std::string& bytes, DvbTextTable table = DvbTextTable::FromText)
{
    return DecodeDvbText(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), table);
}

struct Case {
    const char* what;
    std::string bytes;
    std::u16string expected;
};

void ExpectAll(const std::vector<Case>& cases)
{
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.bytes), c.expected) << c.what;
}

// A text of one byte after a selector, and what it must read as.
TEST(DvbText, EverySelectorPicksItsTable)
{
    using namespace std::string_literals;
    ExpectAll({
        {"8859-5", "\x01\xC0", u"\u0420"},
        {"8859-6", "\x02\xC7", u"\u0627"},
        {"8859-7", "\x03\xC1", u"\u0391"},
        {"8859-8", "\x04\xE0", u"\u05D0"},
        {"8859-9", "\x05\xDD", u"\u0130"},
        {"8859-10", "\x06\xA1", u"\u0104"},
        {"8859-11", "\x07\xA1", u"\u0E01"},
        {"8859-13", "\x09\xC0", u"\u0104"},
        {"8859-14", "\x0A\xA1", u"\u1E02"},
        {"8859-15", "\x0B\xA4\xBD", u"\u20AC\u0153"},
        {"0x10: 8859-2", "\x10\x00\x02\xA1"s, u"\u0104"},
        {"0x10: 8859-1", "\x10\x00\x01\xE9"s, u"\u00E9"},
        {"0x10: 8859-15", "\x10\x00\x0F\xA4"s, u"\u20AC"},
        {"0x10: part 12 does not exist", "\x10\x00\x0C\xE9"s, u"\u00E9"},
        {"0x10: reserved high byte", "\x10\x01\x05\xE9"s, u"\u00E9"},
        {"UCS-2", "\x11\x00\x43\x00\x68\x00\xE2\x01\x53"s, u"Ch\u00E2\u0153"},
        {"UTF-8", "\x15" "Cha\xC3\xAEne B", u"Cha\u00EEne B"},
        {"encoding_type_id: its byte skipped, the rest Latin-1", "\x1F\x03" "abc\xE9", u"abc\u00E9"},
        {"0x08 (part 12) reserved", "\x08\xE9", u"\u00E9"},
        {"0x0C reserved", "\x0C\xE9", u"\u00E9"},
        {"Korean, not decoded", "\x12\xE9", u"\u00E9"},
        {"0x1E reserved", "\x1E\xE9", u"\u00E9"},
        {"no selector: ISO 6937", "\xC2" "e\xA4", u"\u00E9\u20AC"},
    });
}

TEST(DvbText, Iso6937DiacriticsComposeTheLettersOfFrench)
{
    ExpectAll({
        {"acute", "\xC2" "e\xC2" "E", u"\u00E9\u00C9"},
        {"grave", "\xC1" "e\xC1" "a\xC1" "u\xC1" "A", u"\u00E8\u00E0\u00F9\u00C0"},
        {"circumflex", "\xC3" "e\xC3" "a\xC3" "i\xC3" "o\xC3" "u\xC3" "E",
         u"\u00EA\u00E2\u00EE\u00F4\u00FB\u00CA"},
        {"diaeresis", "\xC8" "e\xC8" "i\xC8" "u\xC8" "y\xC8" "Y", u"\u00EB\u00EF\u00FC\u00FF\u0178"},
        {"umlaut of the first edition", "\xC9" "u", u"\u00FC"},
        {"cedilla", "\xCB" "c\xCB" "C", u"\u00E7\u00C7"},
        {"ligatures and special letters", "\xFA\xEA\xF1\xE1\xF9\xE9\xFB", u"\u0153\u0152\u00E6\u00C6\u00F8\u00D8\u00DF"},
        {"caron of another language", "\xCF" "d", u"\u010F"},
        {"a word", "T\xC2" "el\xC2" "evision \xC3" "a la carte", u"T\u00E9l\u00E9vision \u00E2 la carte"},
    });
}

// Chosen rule: a diacritic with nothing Unicode composes it with keeps both, as
// the character followed by the combining mark; with nothing to sit on it goes.
TEST(DvbText, Iso6937DiacriticsWithoutAPrecomposedLetter)
{
    ExpectAll({
        {"letter without a precomposed form", "\xC2" "q", u"q\u0301"},
        {"on a digit", "\xC8" "1", u"1\u0308"},
        {"on a letter of the high half", "\xC2\xE9", u"\u00D8\u0301"},
        {"before a space: the spacing accent", "\xC2 x", u"\u00B4x"},
        {"at the end", "ab\xC2", u"ab"},
        {"before another diacritic", "\xC1\xC2" "e", u"\u00E9"},
        {"before a line break", "a\xC2\x8A" "b", u"a b"},
    });
}

TEST(DvbText, ControlCodesOnOneLine)
{
    using namespace std::string_literals;
    ExpectAll({
        {"emphasis and line break", "Journal\x86 de\x87 20h\x8Asuite", u"Journal de 20h suite"},
        {"other C1 and C0 codes dropped", "A\x80\x9F" "B\x01\x7F" "C", u"ABC"},
        {"TAB LF CR", "A\tB\nC\rD", u"A B C D"},
        {"in an 8859 table", "\x0B" "a\x86" "b\x8A" "c", u"ab c"},
        {"UCS-2", "\x11\xE0\x86\x00\x41\xE0\x87\xE0\x8A\x00\x42\xE0\x9F"s, u"A B"},
        {"UTF-8", "\x15" "A\xEE\x82\x86" "B\xEE\x82\x8A" "C\xC2\x85", u"AB C"},
    });
}

TEST(DvbText, Utf8InvalidAndTruncatedSequences)
{
    ExpectAll({
        {"stray continuation byte", "\x15" "a\x80" "b", u"a\uFFFDb"},
        {"overlong form", "\x15\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\x15\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"surrogate", "\x15\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\x15\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut by a character: one U+FFFD, the character kept", "\x15\xE2\x82x", u"\uFFFDx"},
        {"outside the BMP: a surrogate pair", "\x15\xF0\x9F\x93\xBA", u"\U0001F4FA"},
        {"cut by the end", "\x15" "ab\xC3", u"ab\uFFFD"},
        {"four bytes cut by the end", "\x15\xF0\x9F\x93", u"\uFFFD"},
    });
}

TEST(DvbText, Ucs2OddByteAndSurrogates)
{
    using namespace std::string_literals;
    ExpectAll({
        {"lone odd byte at the end dropped", "\x11\x00\x41\x00"s, u"A"},
        {"lone surrogate", "\x11\xD8\x00\x00\x41"s, u"\uFFFDA"},
        {"low surrogate first", "\x11\xDC\xFA\x00\x41"s, u"\uFFFDA"},
        {"surrogate pair kept", "\x11\xD8\x3D\xDC\xFA"s, u"\U0001F4FA"},
    });
}

TEST(DvbText, EmptyTextsAndLoneSelectors)
{
    using namespace std::string_literals;
    ExpectAll({
        {"empty", "", u""},
        {"8859-15 selector", "\x0B", u""},
        {"UCS-2 selector", "\x11", u""},
        {"UTF-8 selector", "\x15", u""},
        {"0x10 without its part", "\x10", u""},
        {"0x10 with half its part", "\x10\x00"s, u""},
        {"encoding_type_id selector", "\x1F", u""},
        {"lone diacritic", "\xC2", u""},
    });
}

// The guide keeps the table of a selector it took off: the bytes are then read
// in it, and not in the default table where they are other characters.
TEST(DvbText, TableChosenBeforeTheText)
{
    EXPECT_EQ(Decode("\xDD\xFD\xF0", DvbTextTable::Iso8859_9), u"\u0130\u0131\u011F");
    EXPECT_EQ(Decode("\xDD\xFD\xF0"), u"\u215C\u0167\u0138");
    EXPECT_EQ(Decode("\x15\xE9", DvbTextTable::Iso8859_9), u"\u00E9");  // a selector is then a control
    EXPECT_EQ(Decode("\x15" "\xC3\xA9", DvbTextTable::FromText), u"\u00E9");
    EXPECT_EQ(Decode("\xC3\xA9", DvbTextTable::Utf8), u"\u00E9");
    EXPECT_EQ(Decode("\xE9", static_cast<DvbTextTable>(0x7F)), u"\u00E9");  // unknown value: Latin-1
}

TEST(DvbText, RecordFieldStopsAtItsNul)
{
    char field[8] = "\x15\xC3\xA9t\xC3\xA9";
    EXPECT_EQ(DecodeDvbText(field), u"\u00E9t\u00E9");
    char full[4] = {'a', 'b', 'c', 'd'};  // no NUL: the array bounds the text
    EXPECT_EQ(DecodeDvbText(full), u"abcd");
    char partSelector[8] = {'\x10', '\x00', '\x0F', '\xA4', '\0', 'x'};  // its 0x00 ends nothing
    EXPECT_EQ(DecodeDvbText(partSelector), u"\u20AC");
    char cut[3] = {'\x10', '\x00', '\x0F'};
    EXPECT_EQ(DecodeDvbText(cut), u"");
}

// Every pair of bytes after each kind of selector: no result is longer than its
// bytes, none holds a control code or a broken surrogate.
TEST(DvbText, NeverLongerThanItsBytesAndAlwaysWellFormed)
{
    using namespace std::string_literals;
    for (const std::string& selector : {""s, "\x0B"s, "\x11"s, "\x15"s, "\x10\x00\x05"s}) {
        int bad = 0;
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const std::string bytes = selector + static_cast<char>(a) + static_cast<char>(b) + "\xF0\x9F";
                const std::u16string text = Decode(bytes);
                if (text.size() > bytes.size() || !tstest::IsOneLineUtf16(text))
                    ++bad;
            }
        }
        EXPECT_EQ(bad, 0) << "after selector of " << selector.size() << " bytes";
    }
}

}  // namespace
