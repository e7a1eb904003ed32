// From PES pieces to what is put over the picture, and when: reassembly of
// packets cut anywhere or damaged, PTS to stream time, the keyed overlay, and
// the presenter's timing of a display set and its time-out against a clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "graph/subtitles/subtitle_clut.h"
#include "graph/subtitles/subtitle_overlay.h"
#include "graph/subtitles/subtitle_pes.h"
#include "graph/subtitles/subtitle_presenter.h"
#include "graph/subtitles/subtitle_timing.h"
#include "standins/demux/pes_assembler.h"
#include "tools/tsgen/dvb_subtitle_encoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pes(const Bytes& payload, std::int64_t pts, bool whole = true)
{
    Bytes pes = MakePesHeader(0xBD, true, static_cast<std::uint64_t>(pts), payload.size(), whole);
    pes.insert(pes.end(), payload.begin(), payload.end());
    return pes;
}

struct Piece {
    std::size_t from, to;
    bool starts, lost;
};

TEST(SubtitlePes, PacketsAreWholeOnlyWhenEveryPieceCameAndTheHeaderParses)
{
    const Bytes payload = {0x20, 0x00, 0x0F, 0x10, 0xFF};
    const Bytes bounded = Pes(payload, 12345);
    Bytes badMarker = bounded;
    badMarker[6] = 0x40;
    struct Case {
        const char* what;
        Bytes stream;
        std::vector<Piece> pieces;
        std::size_t whole;
    } cases[] = {
        {"one piece", bounded, {{0, bounded.size(), true, false}}, 1},
        {"cut in three", bounded, {{0, 4, true, false}, {4, 12, false, false}, {12, bounded.size(), false, false}}, 1},
        {"a lost middle", bounded, {{0, 4, true, false}, {12, bounded.size(), false, true}}, 0},
        {"no start seen", bounded, {{4, bounded.size(), false, false}}, 0},
        {"bad marker bits", badMarker, {{0, badMarker.size(), true, false}}, 0},
    };
    for (const Case& c : cases) {
        SubtitlePesAssembler assembler;
        std::vector<SubtitlePes> out;
        for (const Piece& p : c.pieces)
            for (SubtitlePes& pes : assembler.Feed(c.stream.data() + p.from, p.to - p.from, p.starts, p.lost))
                out.push_back(std::move(pes));
        ASSERT_EQ(out.size(), c.whole) << c.what;
        if (c.whole) {
            EXPECT_TRUE(out[0].hasPts) << c.what;
            EXPECT_EQ(out[0].pts, 12345) << c.what;
            EXPECT_EQ(out[0].data, payload) << c.what;
        }
    }

    // A packet of unbounded length ends where the next begins; one that grows
    // past what a PES length allows is dropped.
    SubtitlePesAssembler assembler;
    const Bytes open = Pes(payload, (std::int64_t{1} << 33) - 1, false);
    EXPECT_TRUE(assembler.Feed(open.data(), open.size(), true, false).empty());
    auto ended = assembler.Feed(bounded.data(), bounded.size(), true, false);
    ASSERT_EQ(ended.size(), 2u);
    EXPECT_EQ(ended[0].pts, (std::int64_t{1} << 33) - 1);
    EXPECT_EQ(ended[0].data, payload);
    const Bytes big(70000, 0x55);
    EXPECT_TRUE(assembler.Feed(open.data(), open.size(), true, false).empty());
    EXPECT_TRUE(assembler.Feed(big.data(), big.size(), false, false).empty());
    EXPECT_TRUE(assembler.Feed(bounded.data(), bounded.size(), true, false).size() == 1) << "the big one dropped";
}

TEST(SubtitleTiming, PtsFollowTheFirstArrivalUntilTheyJump)
{
    SubtitleTiming timing;
    constexpr std::int64_t kSecond = 10'000'000;
    constexpr std::int64_t kWrap = std::int64_t{1} << 33;
    struct Step {
        std::int64_t pts, arrival, due;
    } steps[] = {
        {90000, 5 * kSecond, 5 * kSecond},                        // anchors
        {90000 + 4 * 90000, 8 * kSecond, 9 * kSecond},            // 4 s later, sent 1 s early
        {90000 + 315000, 9 * kSecond, 85 * kSecond / 10},  // 0.5 s late: kept
        {90000 + 2 * 90000, 9 * kSecond, 9 * kSecond},            // 2 s late: new anchor
        {90000 + 3600 * 90000, 10 * kSecond, 10 * kSecond},       // an hour ahead: new anchor
        {kWrap - 45000, 20 * kSecond, 20 * kSecond},              // another jump
        {45000, 20 * kSecond, 21 * kSecond},                      // one second on, across the wrap
    };
    for (const Step& s : steps) EXPECT_EQ(timing.Due(s.pts, s.arrival), s.due) << s.pts;
}

TEST(SubtitleOverlay, OnlyTheDrawnPartIsKeptOpaqueAndPlacedAsFractions)
{
    SubtitlePicture picture;
    picture.width = 100;
    picture.height = 50;
    picture.empty = false;
    picture.pixels.assign(100 * 50, 0);
    picture.pixels[10 * 100 + 20] = 0xFFFFFF00;  // yellow, opaque
    picture.pixels[19 * 100 + 59] = 0x80FF00FE;  // half opaque, the key colour itself
    picture.pixels[30 * 100 + 90] = 0x7F0000FF;  // less than half: left to the video
    const SubtitleOverlay o = MakeOverlay(picture);
    ASSERT_EQ(o.width, 40u);
    ASSERT_EQ(o.height, 10u);
    EXPECT_FLOAT_EQ(o.left, 0.2f);
    EXPECT_FLOAT_EQ(o.right, 0.6f);
    EXPECT_FLOAT_EQ(o.top, 0.2f);
    EXPECT_FLOAT_EQ(o.bottom, 0.4f);
    EXPECT_EQ(o.pixels[0], 0x00FFFF00u);
    EXPECT_EQ(o.pixels[1], kSubtitleKey);
    EXPECT_NE(o.pixels.back(), kSubtitleKey) << "a drawn pixel never takes the key";

    picture.empty = true;
    EXPECT_EQ(MakeOverlay(picture).width, 0u);
    picture.empty = false;
    picture.pixels.resize(10);  // shorter than its size says
    EXPECT_EQ(MakeOverlay(picture).width, 0u);
}

// A keyed bitmap has no partial transparency: a broadcast colour is drawn, in
// full, when it is at least half opaque (transparency T up to 0x7F), and left
// to the video otherwise; Y = 0 is transparent whatever T says.
TEST(SubtitleOverlay, PartlyTransparentColoursAreDrawnWhenAtLeastHalfOpaque)
{
    struct Case {
        std::uint8_t y, cr, cb, t;
        bool drawn;
    };
    const Case cases[] = {
        {235, 128, 128, 0x00, true},   // opaque white
        {235, 128, 128, 0x40, true},   // a quarter transparent
        {235, 128, 128, 0x7F, true},   // just over half opaque
        {235, 128, 128, 0x80, false},  // just under: a see-through box
        {16, 128, 128, 0xC0, false},   // a dark veil
        {235, 128, 128, 0xFF, false},  // fully transparent
        {0, 128, 128, 0x00, false},    // Y = 0
    };
    for (const Case& c : cases) {
        const Argb colour = ArgbFromYCrCbT(c.y, c.cr, c.cb, c.t);
        // The pixel between two opaque corners, so that the overlay holds it.
        SubtitlePicture picture;
        picture.width = 3;
        picture.height = 1;
        picture.empty = false;
        picture.pixels = {0xFF000000, colour, 0xFF000000};
        const SubtitleOverlay o = MakeOverlay(picture);
        ASSERT_EQ(o.pixels.size(), 3u);
        if (c.drawn)
            EXPECT_EQ(o.pixels[1], colour & 0x00FFFFFF) << "T " << int{c.t} << " drawn in its own colour";
        else
            EXPECT_EQ(o.pixels[1], kSubtitleKey) << "T " << int{c.t} << ", Y " << int{c.y} << " left to the video";
    }
}

// A display set of the generator's encoder: one yellow box, shown 1 s.
Bytes YellowBox()
{
    tsgen::SubtitleDisplaySet set;
    set.page = 1;
    set.timeoutSeconds = 1;
    set.clut = {{1, 0xFFFFFF00}};
    set.regions = {{1, 60, 470, 16, 4, 4, 0}};
    tsgen::SubtitleObject box{1, 1, 0, 0, 4, {}};
    for (int i = 0; i < 4; ++i) box.lines.push_back(std::vector<std::uint8_t>(16, 1));
    set.objects = {box};
    return tsgen::EncodeDisplaySet(set);
}

TEST(SubtitlePes, APacketKeepsTheTimeOfThePieceThatBeganIt)
{
    const Bytes bounded = Pes({0x20, 0x00, 0x0F, 0x10, 0xFF}, 100);
    const Bytes open = Pes({0x20, 0x00, 0x0F, 0xFF}, 200, false);
    SubtitlePesAssembler assembler;
    EXPECT_TRUE(assembler.Feed(open.data(), open.size(), true, false, std::int64_t{7}).empty());
    // The next packet ends the unbounded one, which keeps its own time.
    auto out = assembler.Feed(bounded.data(), 10, true, false, std::int64_t{9});
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].pts, 200);
    EXPECT_EQ(out[0].sampleTime, std::optional<std::int64_t>{7});
    // Its rest comes untimed: the packet is still due at the time its start carried.
    out = assembler.Feed(bounded.data() + 10, bounded.size() - 10, false, false);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].sampleTime, std::optional<std::int64_t>{9});
    out = assembler.Feed(bounded.data(), bounded.size(), true, false);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_FALSE(out[0].sampleTime.has_value()) << "an untimed start";
}

TEST(SubtitlePresenter, ShowsADisplaySetWhenItIsDueAndTakesItOffAtItsTimeOut)
{
    std::atomic<std::int64_t> now{0};
    std::mutex mutex;
    std::vector<std::pair<std::int64_t, bool>> shown;  // (clock, something visible)
    bool readyBeforehand = true;  // every visible set came with its overlay made
    SubtitlePresenter presenter([&] { return now.load(); },
                                [&](const SubtitleShow& s) {
                                    std::lock_guard<std::mutex> lock(mutex);
                                    shown.emplace_back(now.load(), !s.Empty());
                                    if (!s.Empty() && (!s.overlay || s.overlay->width == 0)) readyBeforehand = false;
                                });
    auto count = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        return shown.size();
    };
    auto waitFor = [&](std::size_t n) {
        for (int i = 0; i < 2000 && count() < n; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return count() >= n;
    };
    SubtitleTrack track{};
    track.pid = 0x114;
    track.compositionPage = 1;
    track.ancillaryPage = 1;
    track.format = SubtitleFormat::Dvb;
    presenter.Select(track);
    ASSERT_TRUE(waitFor(1));  // the selection clears the screen

    const Bytes pes = Pes(YellowBox(), 900000);
    // Stamped by the demultiplexer 0.5 s ahead: nothing until the clock gets there.
    presenter.Feed(pes.data(), pes.size(), true, false, std::int64_t{5'000'000});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(count(), 1u) << "shown before it was due";
    now = 5'000'000;
    ASSERT_TRUE(waitFor(2));
    now = 14'000'000;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(count(), 2u) << "taken off before its time-out";
    now = 15'000'000;
    ASSERT_TRUE(waitFor(3));
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_TRUE(shown[1].second);
    EXPECT_FALSE(shown[2].second);
    EXPECT_TRUE(readyBeforehand) << "the overlay is made when the set is decoded, not when it is due";
    EXPECT_EQ(presenter.LastLateness(), 0);
}

}  // namespace
