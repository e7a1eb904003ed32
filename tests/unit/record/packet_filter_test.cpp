// The recorder's packet walk: what it keeps, how it groups writes, and that broken
// samples never make it read past the bytes given or invent a packet.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "channels/chaine.h"
#include "record/packet_filter.h"
#include "record/service_pids.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A packet of `pid` whose payload bytes all hold `tag`, to recognise it later.
Bytes Packet(std::uint16_t pid, std::uint8_t tag, std::uint8_t flags = 0)
{
    Bytes p(188, tag);
    p[0] = 0x47;
    p[1] = static_cast<std::uint8_t>(flags | (pid >> 8 & 0x1F));
    p[2] = static_cast<std::uint8_t>(pid & 0xFF);
    p[3] = 0x10;
    return p;
}

Bytes Join(const std::vector<Bytes>& parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Remembers every run, and can refuse the n-th one.
struct Recorder : PacketRunSink {
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override
    {
        runs.emplace_back(bytes, bytes + size);
        return static_cast<int>(runs.size()) != failAt;
    }
    Bytes All() const { return Join(runs); }
    std::vector<Bytes> runs;
    int failAt = -1;
};

// The sample copied into a buffer of exactly its size, so that the sanitizers
// catch a read past its end.
FilterResult Walk(const Bytes& sample, const PidSelection& selection, Recorder& sink)
{
    auto exact = std::make_unique<std::uint8_t[]>(sample.size() + (sample.empty() ? 1 : 0));
    std::copy(sample.begin(), sample.end(), exact.get());
    FilterResult result = FilterPackets(exact.get(), sample.size(), selection, sink);
    return result;
}

Chaine Service()
{
    Chaine c = MakeEmptyChaine();
    c.PMT = 0x100;
    c.Video = 0x110;
    c.Son1 = 0x111;
    c.Son2 = 0x112;
    c.Ac3 = 0x113;
    c.PCR = 0x110;
    return c;
}

TEST(PacketFilter, ServiceKeepsItsFourPidsAndTheClockWhenCarriedApart)
{
    Chaine channel = Service();
    const PidSelection plain = ServiceSelection(channel, false, false);
    EXPECT_EQ(plain.Count(), 4u);
    for (std::uint16_t pid : {0x000, 0x100, 0x110, 0x111})
        EXPECT_TRUE(plain.Keeps(pid)) << pid;
    for (std::uint16_t pid : {0x001, 0x011, 0x012, 0x112, 0x113, 0x1FFF})
        EXPECT_FALSE(plain.Keeps(pid)) << pid;

    // The track being heard at the start; AC-3 wins over the second track.
    EXPECT_TRUE(ServiceSelection(channel, true, false).Keeps(0x112));
    EXPECT_FALSE(ServiceSelection(channel, true, false).Keeps(0x111));
    EXPECT_TRUE(ServiceSelection(channel, true, true).Keeps(0x113));
    EXPECT_FALSE(ServiceSelection(channel, true, true).Keeps(0x112));

    // A clock on a PID of its own is kept; "no PCR" (0x1FFF) never is.
    channel.PCR = 0x1FF;
    EXPECT_TRUE(ServiceSelection(channel, false, false).Keeps(0x1FF));
    EXPECT_EQ(ServiceSelection(channel, false, false).Count(), 5u);
    channel.PCR = kNoPcrPid;
    EXPECT_FALSE(ServiceSelection(channel, false, false).Keeps(0x1FFF));

    // A radio (no video): PID 0 stands for "none" and is the PAT anyway.
    channel.Video = 0;
    EXPECT_EQ(ServiceSelection(channel, false, false).Count(), 3u);

    // Without a programme map the service is unknown: the whole multiplex is kept.
    channel.PMT = 0;
    EXPECT_EQ(ServiceSelection(channel, false, false).Count(), 0x1FFFu);
}

TEST(PacketFilter, MultiplexKeepsEveryPidButNullPackets)
{
    const PidSelection all = PidSelection::Multiplex();
    EXPECT_TRUE(all.Keeps(0x1FFE));
    EXPECT_FALSE(all.Keeps(0x1FFF));
    EXPECT_TRUE(all.Keeps(0));

    Recorder sink;
    const Bytes sample = Join({Packet(0x1FFE, 1), Packet(0x1FFF, 2), Packet(0x1FFE, 3)});
    const FilterResult r = Walk(sample, all, sink);
    ASSERT_EQ(sink.runs.size(), 2u);
    EXPECT_EQ(sink.All(), Join({Packet(0x1FFE, 1), Packet(0x1FFE, 3)}));
    EXPECT_EQ(r.packetsKept, 2u);
}

TEST(PacketFilter, ConsecutiveKeptPacketsGoOutInOneWrite)
{
    const PidSelection selection = ServiceSelection(Service(), false, false);
    // Kept, kept, dropped, kept, kept, kept, dropped: two runs.
    const Bytes sample = Join({Packet(0x110, 1), Packet(0x111, 2), Packet(0x300, 3), Packet(0x000, 4),
                               Packet(0x100, 5), Packet(0x110, 6), Packet(0x301, 7)});
    Recorder sink;
    const FilterResult r = Walk(sample, selection, sink);
    ASSERT_EQ(sink.runs.size(), 2u);
    EXPECT_EQ(sink.runs[0].size(), 2 * 188u);
    EXPECT_EQ(sink.runs[1].size(), 3 * 188u);
    EXPECT_EQ(r.packetsKept, 5u);
    EXPECT_EQ(r.runsWritten, 2u);
    EXPECT_EQ(r.bytesSkipped, 0u);

    // The flag bits above the PID do not hide it.
    Recorder flagged;
    Walk(Packet(0x110, 9, 0xE0), selection, flagged);
    EXPECT_EQ(flagged.runs.size(), 1u);
}

TEST(PacketFilter, SamplesOfAnyLengthGiveWholePacketsOnly)
{
    const PidSelection all = PidSelection::Multiplex();
    const Bytes two = Join({Packet(0x110, 1), Packet(0x110, 2)});
    for (std::size_t length : {0u, 1u, 187u, 188u, 189u, 375u, 376u}) {
        Bytes sample(two.begin(), two.begin() + static_cast<long>(std::min(length, two.size())));
        sample.resize(length, 0x47);  // a trailing fragment that even starts like a packet
        Recorder sink;
        const FilterResult r = Walk(sample, all, sink);
        EXPECT_EQ(sink.All().size(), length / 188 * 188) << length;
        EXPECT_EQ(r.bytesSkipped, length % 188) << length;
    }
    Recorder none;
    EXPECT_EQ(FilterPackets(nullptr, 0, all, none).packetsKept, 0u);
    EXPECT_TRUE(none.runs.empty());
}

TEST(PacketFilter, MisalignedSamplesResynchroniseOnTheNextSyncByte)
{
    const PidSelection all = PidSelection::Multiplex();
    // Five stray bytes, then two packets; then garbage without any sync byte.
    Bytes sample = {0x00, 0x12, 0x34, 0x56, 0x78};
    const Bytes packets = Join({Packet(0x110, 1), Packet(0x111, 2)});
    sample.insert(sample.end(), packets.begin(), packets.end());
    sample.insert(sample.end(), 200, 0x00);
    Recorder sink;
    const FilterResult r = Walk(sample, all, sink);
    EXPECT_EQ(sink.All(), packets);
    EXPECT_EQ(r.bytesSkipped, 205u);

    // A packet whose sync byte is damaged is not taken; its neighbours are, in
    // separate writes since they are no longer adjacent.
    Bytes damaged = Join({Packet(0x110, 1), Packet(0x110, 2), Packet(0x110, 3)});
    damaged[188] = 0x00;
    Recorder around;
    Walk(damaged, all, around);
    ASSERT_EQ(around.runs.size(), 2u);
    EXPECT_EQ(around.runs[0], Packet(0x110, 1));
    EXPECT_EQ(around.runs[1], Packet(0x110, 3));
}

TEST(PacketFilter, AFailedWriteStopsTheWalk)
{
    const PidSelection selection = ServiceSelection(Service(), false, false);
    const Bytes sample = Join({Packet(0x110, 1), Packet(0x300, 2), Packet(0x110, 3), Packet(0x300, 4),
                               Packet(0x110, 5)});
    Recorder sink;
    sink.failAt = 2;
    const FilterResult r = Walk(sample, selection, sink);
    EXPECT_TRUE(r.sinkFailed);
    EXPECT_EQ(sink.runs.size(), 2u);  // nothing offered after the refusal
}

}  // namespace
