// The time line of recorded files: how a file is recognised, what duration its
// clock gives when it runs straight, wraps or jumps, and where a seek lands.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "record/playback/pcr_index.h"
#include "tests/support/packets.h"

namespace {

using tstest::Bytes;

constexpr std::uint64_t kTicksPerMs = 27000;
constexpr std::uint64_t k40Ms = 40 * kTicksPerMs;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Two clocks interleaved packet by packet, as in a multiplex recording.
Bytes TwoClocks()
{
    const Bytes a = tstest::PcrStream(0x100, 101, 4, k40Ms, 5'000'000);
    const Bytes b = tstest::PcrStream(0x200, 101, 4, k40Ms, 900'000'000'000);
    Bytes all;
    for (std::size_t at = 0; at < a.size(); at += 188) {
        all.insert(all.end(), a.begin() + at, a.begin() + at + 188);
        all.insert(all.end(), b.begin() + at, b.begin() + at + 188);
    }
    return all;
}

struct IndexCase {
    std::string name;
    Bytes bytes;
    PcrIndexStatus status;
    std::int64_t durationMs;
    bool trusted;
};

// Four seconds whose bytes come in bursts, as pictures do: a PCR every 40 ms
// followed by 1 packet, then 40 packets, in turn.
Bytes Bursts()
{
    Bytes all;
    for (int i = 0; i <= 100; ++i) {
        const Bytes one = tstest::PcrStream(0x100, 1, i % 2 ? 40 : 1, k40Ms, i * k40Ms);
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

TEST(PcrIndex, StatusAndDurationOfEachKindOfFile)
{
    Bytes cutAtBothEnds = Join({Bytes(77, 0x47), tstest::PcrStream(0x100, 51, 5, k40Ms), Bytes(100, 0x47)});
    Bytes noise(188 * 20);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 131 + 7);
    const std::vector<IndexCase> cases = {
        {"steady", tstest::PcrStream(0x100, 101, 10, k40Ms), PcrIndexStatus::Ok, 4000, true},
        {"long, sampled", tstest::PcrStream(0x100, 4001, 3, k40Ms), PcrIndexStatus::Ok, 160'000, true},
        {"clock wraps at 2^33", tstest::PcrStream(0x100, 101, 10, k40Ms, kPcrModulus - 30 * k40Ms),
         PcrIndexStatus::Ok, 4000, true},
        // 2 s played, a splice an hour on, 2 s more: the jump is timed by bytes.
        {"clock jumps forward",
         Join({tstest::PcrStream(0x100, 50, 10, k40Ms), tstest::PcrStream(0x100, 51, 10, k40Ms, 3600 * 1000 * kTicksPerMs)}),
         PcrIndexStatus::Ok, 4000, false},
        {"clock jumps back",
         Join({tstest::PcrStream(0x100, 50, 10, k40Ms, 50'000 * kTicksPerMs), tstest::PcrStream(0x100, 51, 10, k40Ms)}),
         PcrIndexStatus::Ok, 4000, false},
        {"cut at both ends", cutAtBothEnds, PcrIndexStatus::Ok, 2000, true},
        {"bytes in bursts: timed by the clock", Bursts(), PcrIndexStatus::Ok, 4000, true},
        {"two clocks: the first one counts", TwoClocks(), PcrIndexStatus::Ok, 4000, true},
        {"no PCR", tstest::PcrStream(0x100, 1, 50, k40Ms), PcrIndexStatus::NoPcr, 0, true},
        {"clock stands still", tstest::PcrStream(0x100, 20, 5, 0), PcrIndexStatus::NoPcr, 0, true},
        {"not a transport stream", noise, PcrIndexStatus::NotTransportStream, 0, true},
        {"shorter than a packet", Bytes(187, 0x47), PcrIndexStatus::Empty, 0, true},
    };
    for (const IndexCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryByteSource source(c.bytes.data(), c.bytes.size());
        const PcrIndex index = PcrIndex::Build(source);
        EXPECT_EQ(index.status(), c.status);
        EXPECT_NEAR(static_cast<double>(index.durationMs()), static_cast<double>(c.durationMs), 45.0);
        if (index.ok()) {
            EXPECT_EQ(index.pcrTrusted(), c.trusted);
            EXPECT_LE(index.marks().size(), PcrIndex::kMaxMarks);
        }
    }
}

TEST(PcrIndex, ProbeFindsThePacketsOfACutFile)
{
    const Bytes bytes = Join({Bytes(77, 0x47), tstest::PcrStream(0x100, 3, 4, k40Ms), Bytes(100, 0)});
    MemoryByteSource source(bytes.data(), bytes.size());
    const TsProbe probe = ProbeTransportStream(source);
    EXPECT_EQ(probe.status, TsProbeStatus::Ok);
    EXPECT_EQ(probe.firstPacket, 77u);
    EXPECT_EQ(probe.packetCount, 12u);
    EXPECT_TRUE(probe.truncated);
}

// The PCR of the packet a seek lands on, read back from the bytes.
std::int64_t PcrMsAt(const Bytes& bytes, std::uint64_t offset, std::uint64_t origin)
{
    MemoryByteSource source(bytes.data(), bytes.size());
    const TsProbe probe = ProbeTransportStream(source);
    const auto mark = FindPcr(source, probe, offset, 0x100, 188 * 20);
    return mark ? static_cast<std::int64_t>(PcrDistance(origin, mark->pcr) / kTicksPerMs) : -1;
}

TEST(PcrIndex, SeekLandsOnTheTargetTime)
{
    struct SeekCase {
        std::string name;
        Bytes bytes;
        std::uint64_t origin;          // PCR of the file's start
        std::int64_t target;           // ms
        std::int64_t expectedClockMs;  // the PCR there, from the origin
    };
    const std::uint64_t nearWrap = kPcrModulus - 1000 * k40Ms;
    const std::uint64_t splice = 3600 * 1000 * kTicksPerMs;
    const Bytes jump = Join({tstest::PcrStream(0x100, 50, 10, k40Ms), tstest::PcrStream(0x100, 51, 10, k40Ms, splice)});
    const std::vector<SeekCase> cases = {
        {"start", tstest::PcrStream(0x100, 4001, 3, k40Ms), 0, 0, 0},
        {"middle of a long file", tstest::PcrStream(0x100, 4001, 3, k40Ms), 0, 123'456, 123'440},
        {"past the end", tstest::PcrStream(0x100, 4001, 3, k40Ms), 0, 999'999, 160'000},
        {"across the wrap", tstest::PcrStream(0x100, 4001, 3, k40Ms, nearWrap), nearWrap, 60'000, 60'000},
        // After the splice, the clock restarts from `splice` at the file's 2 s.
        {"after a jump, by byte rate", jump, 0, 3000, static_cast<std::int64_t>(splice / kTicksPerMs) + 1000},
    };
    for (const SeekCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryByteSource source(c.bytes.data(), c.bytes.size());
        const PcrIndex index = PcrIndex::Build(source);
        ASSERT_TRUE(index.ok());
        const std::uint64_t offset = index.OffsetAt(c.target);
        EXPECT_EQ((offset - index.probe().firstPacket) % 188, 0u);
        EXPECT_NEAR(static_cast<double>(PcrMsAt(c.bytes, offset, c.origin)), static_cast<double>(c.expectedClockMs), 80.0);
        EXPECT_NEAR(static_cast<double>(index.TimeAt(offset)), static_cast<double>(std::min(c.target, index.durationMs())),
                    80.0);
    }
}

TEST(PcrIndex, TimeOfAPcrReadWhilePlaying)
{
    const Bytes jump = Join({tstest::PcrStream(0x100, 50, 10, k40Ms), tstest::PcrStream(0x100, 51, 10, k40Ms, 1ull << 40)});
    MemoryByteSource source(jump.data(), jump.size());
    const PcrIndex index = PcrIndex::Build(source);
    ASSERT_TRUE(index.ok());
    // Before the splice the clock itself tells the time; after it the PCR's
    // distance from the marks is meaningless and the bytes decide.
    EXPECT_EQ(index.TimeOfPcr(188 * 10 * 20, 20 * k40Ms), 800);
    const std::uint64_t late = 188 * 10 * 75;
    EXPECT_NEAR(static_cast<double>(index.TimeOfPcr(late, (1ull << 40) + 25 * k40Ms)), 3000.0, 45.0);
}

}  // namespace
