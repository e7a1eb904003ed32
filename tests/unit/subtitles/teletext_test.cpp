// Teletext subtitles: the codes of the packets, and pages through the decoder.
#include <gtest/gtest.h>

#include "graph/subtitles/teletext_codes.h"
#include "graph/subtitles/teletext_decoder.h"
#include "tools/tsgen/teletext_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TeletextCodes, Hamming84CorrectsOneBitAndRefusesTwo)
{
    // The code words as EN 300 706 lists them, bits in transmission order.
    const std::uint8_t words[16] = {0x15, 0x02, 0x49, 0x5E, 0x64, 0x73, 0x38, 0x2F,
                                    0xD0, 0xC7, 0x8C, 0x9B, 0xA1, 0xB6, 0xFD, 0xEA};
    for (std::uint8_t nibble = 0; nibble < 16; ++nibble) {
        EXPECT_EQ(EncodeHamming84(nibble), words[nibble]) << int(nibble);
        EXPECT_EQ(DecodeHamming84(words[nibble]), nibble);
        for (int bit = 0; bit < 8; ++bit) {
            EXPECT_EQ(DecodeHamming84(static_cast<std::uint8_t>(words[nibble] ^ 1 << bit)), nibble) << int(nibble) << bit;
            for (int other = bit + 1; other < 8; ++other)
                EXPECT_FALSE(DecodeHamming84(static_cast<std::uint8_t>(words[nibble] ^ 1 << bit ^ 1 << other)));
        }
    }
}

TEST(TeletextCodes, OddParityAndTheFrenchSubset)
{
    EXPECT_EQ(DecodeOddParity(0xC1), 'A');  // 0x41 has two bits set: the parity bit makes three
    EXPECT_EQ(DecodeOddParity(0x43 | 0x80), std::nullopt);
    EXPECT_EQ(DecodeOddParity(0x20 | 0x80), std::nullopt);
    EXPECT_EQ(DecodeOddParity(0x20), 0x20);
    for (int c = 0; c < 128; ++c)
        EXPECT_EQ(DecodeOddParity(EncodeOddParity(static_cast<std::uint8_t>(c))), c);

    struct Case {
        std::uint8_t code;
        char16_t french;
        char16_t english;
    };
    const Case cases[] = {
        {0x23, u'é', u'£'}, {0x24, u'ï', u'$'}, {0x40, u'à', u'@'}, {0x5B, u'ë', u'←'}, {0x5C, u'ê', u'½'},
        {0x5D, u'ù', u'→'}, {0x5E, u'î', u'↑'}, {0x5F, u'#', u'#'}, {0x60, u'è', u'―'}, {0x7B, u'â', u'¼'},
        {0x7C, u'ô', u'‖'}, {0x7D, u'û', u'¾'}, {0x7E, u'ç', u'÷'}, {0x41, u'A', u'A'}, {0x7A, u'z', u'z'},
        {0x21, u'!', u'!'}, {0x05, u' ', u' '},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LatinG0(c.code, 4), c.french) << std::hex << int(c.code);
        EXPECT_EQ(LatinG0(c.code, 0), c.english) << std::hex << int(c.code);
    }
}

std::vector<TeletextSubtitle> Decode(TeletextSubtitleDecoder& decoder, const Bytes& pes, std::int64_t pts = 900)
{
    return decoder.Decode(pes.data(), pes.size(), pts);
}

tsgen::TeletextPageSpec TwoRows()
{
    tsgen::TeletextPageSpec page;
    page.page = 0x888;
    // "Où es-tu ?" and "Déjà là !" in the French subset.
    page.rows = {tsgen::BoxedRow(20, 3, "O] es-tu ?"), tsgen::BoxedRow(22, 6, "D#j@ l@ !")};
    page.rows.push_back({21, "\x07not in a box"});
    return page;
}

TEST(TeletextSubtitles, BoxedRowsWithTheirColours)
{
    TeletextSubtitleDecoder decoder(0x888);
    const auto subtitles = Decode(decoder, tsgen::EncodeTeletextPage(TwoRows()), 4500);
    ASSERT_EQ(subtitles.size(), 1u);
    const TeletextSubtitle& s = subtitles[0];
    EXPECT_EQ(s.pts, 4500);
    EXPECT_EQ(s.page, 0x888);
    ASSERT_EQ(s.rows.size(), 2u);  // row 21 has no box
    EXPECT_EQ(s.rows[0].row, 20u);
    ASSERT_EQ(s.rows[0].spans.size(), 1u);
    EXPECT_EQ(s.rows[0].spans[0].text, u"Où es-tu ?");
    EXPECT_EQ(s.rows[0].spans[0].foreground, TeletextColour::Yellow);
    EXPECT_EQ(s.rows[0].spans[0].background, TeletextColour::Black);
    EXPECT_EQ(s.rows[0].spans[0].column, 15u);  // centred: 12 spaces, colour, two start boxes
    EXPECT_EQ(s.rows[1].spans[0].text, u"Déjà là !");
    EXPECT_EQ(s.rows[1].spans[0].foreground, TeletextColour::Cyan);

    // English subset, and the text outside boxes on a page that is not a subtitle page.
    tsgen::TeletextPageSpec plain = TwoRows();
    plain.nationalOption = 0;
    plain.subtitle = false;
    TeletextSubtitleDecoder other(0x888);
    const auto shown = Decode(other, tsgen::EncodeTeletextPage(plain));
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0].rows.size(), 3u);
    EXPECT_EQ(shown[0].rows[0].spans[0].text, u"O→ es-tu ?");
    EXPECT_EQ(shown[0].rows[1].spans[0].text, u"not in a box");
}

TEST(TeletextSubtitles, PagesMagazinesAndDamage)
{
    tsgen::TeletextPageSpec otherPage = TwoRows();
    otherPage.page = 0x801;
    tsgen::TeletextPageSpec otherMagazine = TwoRows();
    otherMagazine.page = 0x100;
    tsgen::TeletextPageSpec erased;  // a header alone: the screen is cleared

    TeletextSubtitleDecoder decoder(0x888);
    EXPECT_TRUE(Decode(decoder, tsgen::EncodeTeletextPage(otherPage)).empty());
    EXPECT_TRUE(Decode(decoder, tsgen::EncodeTeletextPage(otherMagazine)).empty());
    ASSERT_EQ(Decode(decoder, tsgen::EncodeTeletextPage(TwoRows())).size(), 1u);
    // Rows of magazine 8 after another page's header of magazine 8 are not ours.
    Bytes pes = tsgen::EncodeTeletextPage(otherPage);
    EXPECT_TRUE(Decode(decoder, pes).empty());
    const auto cleared = Decode(decoder, tsgen::EncodeTeletextPage(erased));
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_TRUE(cleared[0].rows.empty());

    // Damage: a character with bad parity shows as a space; a row whose
    // address has two bad bits, or a unit without the framing code, is dropped.
    Bytes damaged = tsgen::EncodeTeletextPage(TwoRows());
    const std::size_t firstRow = 1 + 46, secondRow = firstRow + 46;
    damaged[firstRow + 6 + 15] ^= 0x01;  // the 'O' of row 20: one bit breaks its parity
    damaged[secondRow + 2 + 2] ^= 0x03;      // two bits of row 22's address
    TeletextSubtitleDecoder fresh(0x888);
    const auto got = Decode(fresh, damaged);
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(got[0].rows.size(), 1u);
    EXPECT_EQ(got[0].rows[0].spans[0].text, u"ù es-tu ?");

    Bytes unframed = tsgen::EncodeTeletextPage(TwoRows());
    unframed[1 + 2 + 1] = 0x27;  // the framing code in the wrong bit order
    TeletextSubtitleDecoder none(0x888);
    EXPECT_TRUE(Decode(none, unframed).empty());

    // Cut anywhere, nothing is read beyond the data.
    const Bytes whole = tsgen::EncodeTeletextPage(TwoRows());
    for (std::size_t size = 0; size < whole.size(); size += 7) {
        TeletextSubtitleDecoder cut(0x888);
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        Decode(cut, part);
    }
}

}  // namespace
