// Display sets through the decoder: the picture a viewer would see, and what a
// damaged or strange broadcast must not do to it.
#include <gtest/gtest.h>

#include "graph/subtitles/dvb_subtitle_decoder.h"
#include "tools/tsgen/dvb_subtitle_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using tsgen::SubtitleDisplaySet;

constexpr Argb kRed = MakeArgb(255, 255, 0, 0);
constexpr Argb kYellow = MakeArgb(255, 255, 255, 0);

// Within a step of what the YCrCb round trip of a CLUT entry can lose.
bool Near(Argb a, Argb b)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (d < -4 || d > 4)
            return false;
    }
    return true;
}

Argb At(const SubtitlePicture& p, unsigned x, unsigned y)
{
    return p.pixels.at(std::size_t{y} * p.width + x);
}

// A 40x10 region at (100, 500) of 4-bit codes, clear but for a yellow bar of
// code 2 on lines 2-5 from column 5 (20 wide), with a red dot of code 1.
SubtitleDisplaySet OneLine(unsigned depth = 4, unsigned bits = 4)
{
    SubtitleDisplaySet set;
    set.page = 1;
    set.timeoutSeconds = 4;
    set.clut = {{1, kRed}, {2, kYellow}};
    set.regions = {{7, 100, 500, 40, 10, depth, 0}};
    tsgen::SubtitleObject bar;
    bar.id = 3;
    bar.regionId = 7;
    bar.x = 5;
    bar.y = 2;
    bar.bits = bits;
    for (int line = 0; line < 4; ++line)
        bar.lines.push_back(std::vector<std::uint8_t>(20, 2));
    bar.lines[1][10] = 1;
    set.objects = {bar};
    return set;
}

std::vector<SubtitlePicture> Decode(DvbSubtitleDecoder& decoder, const Bytes& pes, std::int64_t pts = 90000)
{
    return decoder.Decode(pes.data(), pes.size(), pts);
}

TEST(DvbSubtitles, ADisplaySetGivesItsPicture)
{
    for (const auto& [depth, bits] : {std::pair{4u, 4u}, std::pair{2u, 2u}, std::pair{4u, 2u}}) {
        SubtitleDisplaySet set = OneLine(depth, bits);
        if (depth == 4 && bits == 2) {
            // 2-bit codes in a 4-bit region go through the default map: 2 -> 8, 1 -> 7.
            set.clut = {{7, kRed}, {8, kYellow}};
        }
        DvbSubtitleDecoder decoder(1, 1);
        const auto pictures = Decode(decoder, tsgen::EncodeDisplaySet(set), 123456);
        ASSERT_EQ(pictures.size(), 1u) << depth << bits;
        const SubtitlePicture& p = pictures[0];
        EXPECT_EQ(p.width, 720u);
        EXPECT_EQ(p.height, 576u);
        EXPECT_EQ(p.pts, 123456);
        EXPECT_EQ(p.timeoutSeconds, 4u);
        EXPECT_FALSE(p.empty);
        EXPECT_TRUE(Near(At(p, 105, 502), kYellow)) << std::hex << At(p, 105, 502);
        EXPECT_TRUE(Near(At(p, 124, 505), kYellow));
        EXPECT_TRUE(Near(At(p, 115, 503), kRed)) << std::hex << At(p, 115, 503);
        // Clear around it: the rest of the region and the rest of the display.
        for (const auto& [x, y] : {std::pair{104u, 502u}, {125u, 502u}, {105u, 501u}, {105u, 506u}, {0u, 0u}, {719u, 575u}})
            EXPECT_EQ(At(p, x, y), 0u) << x << ',' << y;
    }
}

TEST(DvbSubtitles, EpochsAndPageStates)
{
    DvbSubtitleDecoder decoder(1, 1);
    SubtitleDisplaySet update = OneLine();
    update.acquisitionPoint = false;
    // A normal case before any acquisition point: not in step yet, nothing.
    EXPECT_TRUE(Decode(decoder, tsgen::EncodeDisplaySet(update)).empty());
    ASSERT_EQ(Decode(decoder, tsgen::EncodeDisplaySet(OneLine())).size(), 1u);
    // Now the update is understood; a page without regions clears the screen.
    EXPECT_EQ(Decode(decoder, tsgen::EncodeDisplaySet(update)).size(), 1u);
    const auto cleared = Decode(decoder, tsgen::EncodeClearingSet(1, 2));
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_TRUE(cleared[0].empty);
    // Another page's segments are not ours.
    SubtitleDisplaySet other = OneLine();
    other.page = 2;
    EXPECT_TRUE(Decode(decoder, tsgen::EncodeDisplaySet(other)).empty());
}

TEST(DvbSubtitles, TimeOutsAndTheClock)
{
    SubtitlePicture p;
    p.pts = 90000;
    struct Case {
        unsigned timeout;
        std::int64_t now;
        bool shown;
    };
    const Case cases[] = {
        {4, 89999, false}, {4, 90000, true}, {4, 90000 + 4 * 90000 - 1, true}, {4, 90000 + 4 * 90000, false},
        {0, 90000 + 3600 * 90000LL, true},  // no time-out: until the next picture
        {255, 90000 + 254 * 90000LL, true}, {255, 90000 + 256 * 90000LL, false},
    };
    for (const Case& c : cases) {
        p.timeoutSeconds = c.timeout;
        EXPECT_EQ(IsShownAt(p, c.now), c.shown) << c.timeout << ' ' << c.now;
    }
    // Across the wrap of the 33-bit clock.
    p.pts = (std::int64_t{1} << 33) - 90000;
    p.timeoutSeconds = 4;
    EXPECT_TRUE(IsShownAt(p, 90000));
    EXPECT_FALSE(IsShownAt(p, 4 * 90000));
}

// Segments written by hand, for what the encoder never writes.
Bytes Segment(std::uint8_t type, const Bytes& body, unsigned page = 1)
{
    Bytes s{0x0F, type, static_cast<std::uint8_t>(page >> 8), static_cast<std::uint8_t>(page),
            static_cast<std::uint8_t>(body.size() >> 8), static_cast<std::uint8_t>(body.size())};
    s.insert(s.end(), body.begin(), body.end());
    return s;
}

Bytes Pes(std::initializer_list<Bytes> segments)
{
    Bytes pes{0x20, 0x00};
    for (const Bytes& s : segments)
        pes.insert(pes.end(), s.begin(), s.end());
    pes.push_back(0xFF);
    return pes;
}

const Bytes kPage = Segment(0x10, {5, 0x04, 9, 0xFF, 0x02, 0xC0, 0x00, 0x10});  // region 9 at (704, 16)
// Region 9: 32 x 8, 4-bit, CLUT 0, filled with code 1; object 3 at (20, 6).
const Bytes kRegion = Segment(0x11, {9, 0x08, 0, 32, 0, 8, 0x48, 0, 0, 0x10, 0, 3, 0x00, 20, 0xF0, 6});
const Bytes kEnd = Segment(0x80, {});
// Object 3: both fields, each a line of 14 pixels of code 2 (wider than the 12
// columns left in the region).
const Bytes kObject = Segment(0x13, {0, 3, 0x00, 0, 5, 0, 5, 0x11, 0x0E, 0x52, 0x00, 0xF0, 0x11, 0x0E, 0x52, 0x00, 0xF0});

TEST(DvbSubtitles, NothingOutsideTheRegionOrTheDisplay)
{
    DvbSubtitleDecoder decoder(1, 1);
    const auto pictures = Decode(decoder, Pes({kPage, kRegion, kObject, kEnd}));
    ASSERT_EQ(pictures.size(), 1u);
    const SubtitlePicture& p = pictures[0];
    const Argb fill = DefaultClut().fourBit[1];
    const Argb green = DefaultClut().fourBit[2];
    // The region runs from x 704 to 735: the display cuts it at 719.
    EXPECT_EQ(At(p, 704, 16), fill);
    EXPECT_EQ(At(p, 719, 16), fill);
    EXPECT_EQ(At(p, 703, 16), 0u);
    EXPECT_EQ(At(p, 704, 15), 0u);
    EXPECT_EQ(At(p, 704, 24), 0u);
    // The object starts at column 20 of the region: beyond the display.
    for (unsigned x = 704; x < 720; ++x)
        EXPECT_NE(At(p, x, 22), green);
    EXPECT_EQ(p.pixels.size(), 720u * 576u);
}

TEST(DvbSubtitles, DamagedSetsAreSkippedAndTheDecoderGoesOn)
{
    const Bytes cutObject = Segment(0x13, {0, 3, 0x00, 0, 9, 0, 0, 0x11, 0x0E});  // block longer than the segment
    Bytes cutSegment = Pes({kPage, kRegion});
    cutSegment.insert(cutSegment.end() - 1, {0x0F, 0x13, 0, 1, 0, 40, 0, 3});  // announces 40 bytes, has 2
    const Bytes badDepth = Segment(0x11, {9, 0x08, 0, 32, 0, 8, 0x00, 0, 0, 0x10});
    const Bytes hugeRegion = Segment(0x11, {9, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0x48, 0, 0, 0x10});
    const Bytes hugeDisplay = Segment(0x14, {0x00, 0x1F, 0xFF, 0x1F, 0xFF});
    struct Case {
        const char* what;
        Bytes pes;
    };
    const Case cases[] = {
        {"object block cut short", Pes({kPage, kRegion, cutObject, kEnd})},
        {"segment cut short", cutSegment},
        {"region depth 0", Pes({kPage, badDepth, kEnd})},
        {"region larger than any display", Pes({kPage, hugeRegion, kEnd})},
        {"display of 8192 x 8192", Pes({hugeDisplay, kPage, kRegion, kEnd})},
    };
    for (const Case& c : cases) {
        DvbSubtitleDecoder decoder(1, 1);
        EXPECT_TRUE(Decode(decoder, c.pes).empty()) << c.what;
        // The next good set is decoded.
        EXPECT_EQ(Decode(decoder, Pes({kPage, kRegion, kObject, kEnd})).size(), 1u) << c.what;
    }
}

TEST(DvbSubtitles, ClutEntriesAndDisplayDefinitions)
{
    // Entry 20 flagged for the 2- and 4-bit tables too: only the 8-bit one takes
    // it; entry 1 in reduced range (Y 0 makes it clear); entry 2 full range.
    const Bytes clut = Segment(0x12, {0, 0x00, 20, 0xE1, 235, 128, 128, 0, 1, 0xC0, 0x00, 0x00, 2, 0xC1, 82, 240, 90, 0});
    DvbSubtitleDecoder decoder(1, 1);
    // A 1920 x 1080 display with a window from (100, 50): regions count from it.
    const Bytes display = Segment(0x14, {0x08, 0x07, 0x7F, 0x04, 0x37, 0, 100, 0x07, 0x7F, 0, 50, 0x04, 0x37});
    const Bytes page = Segment(0x10, {0, 0x04, 9, 0xFF, 0, 10, 0, 10});
    const auto pictures = Decode(decoder, Pes({display, page, kRegion, clut, kObject, kEnd}));
    ASSERT_EQ(pictures.size(), 1u);
    const SubtitlePicture& p = pictures[0];
    EXPECT_EQ(p.width, 1920u);
    EXPECT_EQ(p.height, 1080u);
    EXPECT_EQ(At(p, 110, 60), 0u);                       // code 1 is clear now
    EXPECT_TRUE(Near(At(p, 130, 66), kRed)) << std::hex << At(p, 130, 66);  // code 2, the object
    EXPECT_EQ(At(p, 109, 66), 0u);

    // Without a display definition the next set is standard definition again.
    const auto next = Decode(decoder, Pes({page, kRegion, kEnd}));
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].width, 720u);
}

}  // namespace
