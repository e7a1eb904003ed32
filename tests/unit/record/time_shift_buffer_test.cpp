// The time-shift ring: its arithmetic, what it keeps by size and by time, a
// full disk, and a reader lapped by the writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/playback/time_shift_buffer.h"
#include "tests/support/packets.h"
#include "tests/unit/record/memory_ring_file.h"

namespace {

using tstest::Bytes;

TEST(RingLayout, SpansAcrossTheWrap)
{
    struct Case {
        std::string name;
        std::uint64_t written;  // bytes committed before
        std::uint64_t readAt;
        std::size_t size;
        FileSpans write;
        FileSpans read;
    };
    // Ten packets of capacity: 1880 bytes.
    const std::vector<Case> cases = {
        {"first lap", 376, 0, 376, {{{376, 376}, {}}}, {{{0, 376}, {}}}},
        {"write wraps", 1692, 188, 376, {{{1692, 188}, {0, 188}}}, {{{188, 376}, {}}}},
        {"read wraps, clamped to the written", 2256, 1692, 1000, {{{376, 1000}, {}}}, {{{1692, 188}, {0, 376}}}},
        {"read of a dropped part", 2256, 188, 188, {{{376, 188}, {}}}, {}},
        {"read at the live edge", 564, 564, 188, {{{564, 188}, {}}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RingLayout ring(1880 + 100);
        EXPECT_EQ(ring.capacity(), 1880u);
        ring.Reserve(static_cast<std::size_t>(c.written));
        ring.Commit(static_cast<std::size_t>(c.written));
        EXPECT_EQ(ring.oldest(), c.written > 1880 ? c.written - 1880 : 0);
        EXPECT_EQ(ring.WriteSpans(c.size), c.write);
        EXPECT_EQ(ring.ReadSpans(c.readAt, c.size), c.read);
    }
}

// Numbered packets (the number in the payload's first bytes), one PID.
Bytes Packets(int first, int count, std::uint16_t pid = 0x100)
{
    Bytes all;
    for (int i = first; i < first + count; ++i) {
        Bytes p = tstest::PcrPacket(pid, static_cast<std::uint8_t>(i), std::nullopt, 0);
        p[4] = static_cast<std::uint8_t>(i >> 8);
        p[5] = static_cast<std::uint8_t>(i);
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

int NumberAt(TimeShiftBuffer& buffer, std::uint64_t offset)
{
    std::uint8_t p[188];
    std::size_t got = 0;
    if (buffer.Read(offset, p, sizeof p, got) != ReadResult::Ok || got != sizeof p)
        return -1;
    return p[4] << 8 | p[5];
}

struct Fixture {
    explicit Fixture(std::uint64_t capacity, std::int64_t windowMs = 3'600'000)
        : buffer(file, capacity, windowMs, PidSelection::Service(0x20, 0x100, 0x101, 0x1FFF), [this] { return clock; },
                 [this](unsigned long e) { failures.push_back(e); })
    {
    }
    void Feed(const Bytes& packets, std::int64_t advanceMs)
    {
        clock += advanceMs;
        kept = buffer.OnPackets(packets.data(), packets.size() / 188);
    }
    MemoryRingFile file;
    std::int64_t clock = 1'000'000;
    std::vector<unsigned long> failures;
    TimeShiftBuffer buffer;
    bool kept = true;
};

TEST(TimeShiftBuffer, KeepsTheServiceAndDropsTheOldestBeyondItsSize)
{
    Fixture f(188 * 10);
    f.Feed(Packets(0, 4), 100);
    f.Feed(Packets(900, 3, 0x555), 100);  // another service of the multiplex
    f.Feed(Packets(4, 8), 100);
    const TimeShiftRange range = f.buffer.Range();
    EXPECT_EQ(range.written, 188u * 12);
    EXPECT_EQ(range.oldest, 188u * 2);
    EXPECT_EQ(f.file.bytes.size(), 188u * 10);  // the file never grows past its capacity
    EXPECT_EQ(NumberAt(f.buffer, 188 * 2), 2);
    EXPECT_EQ(NumberAt(f.buffer, 188 * 11), 11);
    std::uint8_t p[188];
    std::size_t got = 0;
    EXPECT_EQ(f.buffer.Read(188, p, sizeof p, got), ReadResult::Lost);
    EXPECT_EQ(f.buffer.Read(188 * 12, p, sizeof p, got), ReadResult::NotYet);
}

TEST(TimeShiftBuffer, KeepsOnlyItsTimeWindow)
{
    Fixture f(1u << 30, 10'000);
    for (int second = 0; second < 30; ++second)
        f.Feed(Packets(second, 1), 1000);
    const TimeShiftRange range = f.buffer.Range();
    EXPECT_NEAR(static_cast<double>(range.liveMs - range.oldestMs), 10'000.0, 1000.0);
    const int oldest = NumberAt(f.buffer, range.oldest);
    EXPECT_GE(oldest, 19);
    EXPECT_LE(oldest, 21);
}

TEST(TimeShiftBuffer, TimesAndOffsetsAgree)
{
    Fixture f(1u << 20);
    for (int i = 0; i < 20; ++i)
        f.Feed(Packets(i, 1), 500);  // a packet each half second
    // Packet i arrived at 1'000'000 + 500 * (i + 1): by then the stream stood at
    // the end of that packet.
    EXPECT_EQ(f.buffer.OffsetAt(1'000'000 + 500 * 8), 188u * 8);
    EXPECT_NEAR(static_cast<double>(f.buffer.TimeAt(188 * 7)), 1'000'000.0 + 500 * 7, 500.0);
    EXPECT_EQ(f.buffer.OffsetAt(0), 0u);
    EXPECT_EQ(f.buffer.OffsetAt(INT64_MAX / 2), 188u * 20);
}

TEST(TimeShiftBuffer, FullDiskStopsBufferingAndKeepsWhatWasWritten)
{
    Fixture f(1u << 20);
    f.file.limit = 188 * 5;
    f.Feed(Packets(0, 4), 100);
    EXPECT_TRUE(f.kept);
    f.Feed(Packets(4, 4), 100);
    EXPECT_FALSE(f.kept);  // the tap drops the subscriber
    EXPECT_EQ(f.failures, std::vector<unsigned long>{112});
    f.Feed(Packets(8, 4), 100);
    EXPECT_EQ(f.failures.size(), 1u);
    const TimeShiftRange range = f.buffer.Range();
    EXPECT_TRUE(range.failed);
    EXPECT_EQ(range.written, 188u * 4);
    EXPECT_EQ(NumberAt(f.buffer, 188 * 3), 3);
}

// A reader whose bytes the writer overwrote while they were being read.
struct LappingFile : MemoryRingFile {
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override
    {
        if (lap) {
            auto* feed = lap;
            lap = nullptr;
            feed();
        }
        return MemoryRingFile::ReadAt(offset, out, size);
    }
    void (*lap)() = nullptr;
};

TimeShiftBuffer* gLapped = nullptr;

TEST(TimeShiftBuffer, AReadLappedByTheWriterIsLost)
{
    LappingFile file;
    std::int64_t clock = 0;
    TimeShiftBuffer buffer(file, 188 * 4, 3'600'000, PidSelection::Multiplex(), [&] { return clock; }, nullptr);
    gLapped = &buffer;
    const Bytes first = Packets(0, 4);
    buffer.OnPackets(first.data(), 4);
    file.lap = [] {
        const Bytes more = Packets(4, 2);
        gLapped->OnPackets(more.data(), 2);
    };
    std::uint8_t p[188];
    std::size_t got = 0;
    EXPECT_EQ(buffer.Read(0, p, sizeof p, got), ReadResult::Lost);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(NumberAt(buffer, 188 * 2), 2);
}

}  // namespace
