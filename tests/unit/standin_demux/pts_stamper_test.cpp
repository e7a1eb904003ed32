// Sample times of the demultiplexer stand-in: the PTS of a PES packet on the
// graph's stream time, tied by the PCR of the programme whose audio or video
// was mapped last.
#include "standins/demux/ts_router.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "tests/support/packets.h"
#include "tests/support/sections.h"

namespace {

using namespace tstest;

constexpr int kSubtitles = 1;
constexpr std::uint16_t kVideo1 = 0x101, kSub1 = 0x104, kPcr2 = 0x201, kAudio2 = 0x202;
constexpr std::uint64_t kSecond27 = 27'000'000;
constexpr std::int64_t kMs = 10'000;  // 100 ns units

class PtsStamperTest : public ::testing::Test {
protected:
    PtsStamperTest()
    {
        TsWriter ts;
        ts.Section(0x0000, Pat(1, {{0, 0x10}, {1, 0x100}, {2, 0x200}}));
        ts.Section(0x100, Pmt(1, kVideo1, {{0x02, kVideo1, {}}, {0x06, kSub1, {}}}));
        ts.Section(0x200, Pmt(2, kPcr2, {{0x04, kAudio2, {}}, {0x02, kPcr2, {}}}));
        router.Map(kSubtitles, kSub1, PidContent::ElementaryStream);
        Feed(ts.bytes(), std::nullopt);
    }
    void Feed(const Bytes& bytes, std::optional<std::int64_t> arrival)
    {
        router.Feed(bytes.data(), bytes.size(), arrival);
    }
    void Pcr(std::uint16_t pid, std::uint64_t pcr27, std::optional<std::int64_t> arrival)
    {
        Feed(PcrPacket(pid, counters[pid]++ & 0x0F, pcr27, 0), arrival);
    }
    // The time the subtitle PES with this PTS (90 kHz) was given, if it was.
    std::optional<std::int64_t> Subtitle(std::uint64_t pts, std::optional<std::int64_t> arrival = 0)
    {
        const std::size_t before = subtitles.bytes().size();
        subtitles.Pes(kSub1, 0xBD, Pattern(300, 1), pts);
        times.clear();
        Feed(Bytes(subtitles.bytes().begin() + static_cast<std::ptrdiff_t>(before), subtitles.bytes().end()),
             arrival);
        EXPECT_EQ(times.size(), 1u);
        return times.empty() ? std::nullopt : times.front();
    }

    std::vector<std::optional<std::int64_t>> times;
    TsRouter router{[this](const RoutedData& d) {
        if (d.unitStart) times.push_back(d.time);
    }};
    std::map<std::uint16_t, std::uint8_t> counters;
    TsWriter subtitles;
};

TEST_F(PtsStamperTest, PtsOnStreamTimeByTheFollowedProgrammesPcr)
{
    EXPECT_EQ(Subtitle(90'000), std::nullopt) << "no PCR yet";
    router.FollowClockOf(kVideo1);
    Pcr(kPcr2, 50 * kSecond27, 1000 * kMs);  // another programme's clock: not followed
    EXPECT_EQ(Subtitle(90'000), std::nullopt);
    Pcr(kVideo1, 10 * kSecond27, 500 * kMs);  // 10 s on the stream's clock came at 0.5 s
    EXPECT_EQ(Subtitle(10 * 90'000 + 45'000), 1000 * kMs) << "PTS 10.5 s: due at 1 s";
    EXPECT_EQ(Subtitle(9 * 90'000 + 45'000), 1000 * kMs) << "never earlier on one output";

    // Mapping the other programme's audio moves to its PCR.
    router.FollowClockOf(kAudio2);
    Pcr(kVideo1, 11 * kSecond27, 1500 * kMs);
    EXPECT_EQ(Subtitle(90'000), std::nullopt) << "its PCR not yet heard";
    Pcr(kPcr2, 60 * kSecond27, 2000 * kMs);
    EXPECT_EQ(Subtitle(61 * 90'000), 3000 * kMs);
}

TEST_F(PtsStamperTest, TheTieFollowsTheEarliestArrivalAndANewClock)
{
    router.FollowClockOf(kVideo1);
    struct Step {
        std::uint64_t pcrSeconds;
        std::int64_t arrivalMs;
        std::int64_t dueOfNextSecondMs;  // when PTS pcr + 1 s is due after this PCR
    };
    const Step steps[] = {
        {100, 1000, 2000},   // tied: 100 s at 1 s
        {101, 2030, 3000},   // 30 ms late on its way: the tie stays
        {102, 2990, 3990},   // 10 ms earlier than the tie: the tie moves
        {103, 4800, 4990},   // 810 ms late: still the same clock
        {10, 6000, 7000},    // back 93 s (the stream looped): a new tie
        {500, 7000, 8000},   // on 490 s: a new tie as well
    };
    std::int64_t last = 0;
    for (const Step& s : steps) {
        Pcr(kVideo1, s.pcrSeconds * kSecond27, s.arrivalMs * kMs);
        const std::optional<std::int64_t> due = Subtitle((s.pcrSeconds + 1) * 90'000);
        ASSERT_TRUE(due.has_value());
        EXPECT_EQ(*due, std::max(last, s.dueOfNextSecondMs * kMs)) << "PCR " << s.pcrSeconds << " s";
        last = *due;
    }
    // Without the graph's clock nothing is tied, and a flush forgets the tie.
    router.Reset();
    Pcr(kVideo1, 501 * kSecond27, std::nullopt);
    EXPECT_EQ(Subtitle(502 * 90'000), std::nullopt);
}

}  // namespace
