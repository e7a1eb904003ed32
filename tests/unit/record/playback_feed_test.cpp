// Pacing by the stream's clock, and the chunks the playback source reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "record/playback/pcr_pacer.h"
#include "record/playback/playback_feed.h"
#include "record/playback/time_shift_buffer.h"
#include "tests/support/packets.h"
#include "tests/unit/record/memory_ring_file.h"

namespace {

using tstest::Bytes;
constexpr std::uint64_t kMs = 27000;

TEST(PcrPacer, WaitsAsTheClockRuns)
{
    struct Step {
        std::optional<std::uint64_t> pcr;
        std::int64_t nowMs;
        std::int64_t wait;
    };
    struct Case {
        std::string name;
        std::vector<Step> steps;
    };
    const std::uint64_t nearWrap = kPcrModulus - 100 * kMs;
    const std::vector<Case> cases = {
        {"steady", {{1000 * kMs, 0, 0}, {1040 * kMs, 10, 30}, {1080 * kMs, 45, 35}, {1120 * kMs, 130, 0}}},
        {"no PCR goes at once", {{1000 * kMs, 0, 0}, {std::nullopt, 5, 0}, {1040 * kMs, 5, 35}}},
        {"across the wrap", {{nearWrap, 0, 0}, {(nearWrap + 200 * kMs) % kPcrModulus, 50, 150}}},
        {"a jump ahead anchors again", {{1000 * kMs, 0, 0}, {99'000 * kMs, 10, 0}, {99'040 * kMs, 20, 30}}},
        {"a step back anchors again", {{5000 * kMs, 0, 0}, {1000 * kMs, 10, 0}, {1040 * kMs, 20, 30}}},
        {"far behind (a pause) anchors again", {{1000 * kMs, 0, 0}, {1040 * kMs, 5000, 0}, {1080 * kMs, 5000, 40}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PcrPacer pacer;
        for (const Step& s : c.steps)
            EXPECT_EQ(pacer.WaitBefore(s.pcr, s.nowMs), s.wait);
    }
}

TEST(PlaybackFeed, FileChunksCarryTheirLastPcrAndEnd)
{
    const Bytes bytes = tstest::PcrStream(0x100, 10, 4, 40 * kMs);  // PCR every 4 packets
    MemoryByteSource source(bytes.data(), bytes.size());
    FileFeed feed(source, ProbeTransportStream(source), 0x100);
    std::uint8_t out[188 * 6 + 100];
    FeedChunk chunk = feed.Next(out, sizeof out);
    EXPECT_EQ(chunk.size, 188u * 6);
    EXPECT_EQ(chunk.pcr, 40 * kMs);  // packets 0 and 4 carry PCRs
    feed.SeekTo(188 * 37 + 5);       // inside packet 37
    chunk = feed.Next(out, sizeof out);
    EXPECT_EQ(chunk.size, 188u * 3);
    EXPECT_EQ(chunk.pcr, std::nullopt);
    EXPECT_FALSE(chunk.ended);
    EXPECT_TRUE(feed.Next(out, sizeof out).ended);
}

TEST(PlaybackFeed, BufferChunksWaitAtLiveAndReportALostPosition)
{
    MemoryRingFile file;
    TimeShiftBuffer buffer(file, 188 * 8, 60'000, PidSelection::Multiplex(), [] { return 0; }, nullptr);
    TimeShiftFeed feed(buffer, 0x100);
    std::uint8_t out[188 * 4];
    EXPECT_EQ(feed.Next(out, sizeof out).size, 0u);  // nothing buffered yet
    const Bytes first = tstest::PcrStream(0x100, 2, 3, 40 * kMs);
    buffer.OnPackets(first.data(), 6);
    FeedChunk chunk = feed.Next(out, sizeof out);
    EXPECT_EQ(chunk.size, 188u * 4);
    EXPECT_EQ(chunk.pcr, 40 * kMs);
    const Bytes more = tstest::PcrStream(0x100, 3, 3, 40 * kMs);
    buffer.OnPackets(more.data(), 9);  // 15 packets in a ring of 8: packet 4 is gone
    EXPECT_TRUE(feed.Next(out, sizeof out).lost);
    EXPECT_EQ(feed.position(), 188u * 7);  // on from the oldest kept
    EXPECT_EQ(feed.Next(out, sizeof out).size, 188u * 4);
}

}  // namespace
