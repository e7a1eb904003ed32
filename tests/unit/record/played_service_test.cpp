// Which service a recording holds, read from its PAT and PMT near its start.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/playback/played_service.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"

namespace {

using tstest::Bytes;

struct Case {
    std::string name;
    Bytes stream;
    bool found;
    int pmt, pcr, video, son1, ac3;
    StreamCodec videoCodec;
};

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes Tables(const Bytes& pat, unsigned pmtPid, const Bytes& pmt)
{
    unsigned patCounter = 0, pmtCounter = 0;
    Bytes out = tstest::Packetize(0, {pat}, patCounter);
    Append(out, tstest::Packetize(pmtPid, {pmt}, pmtCounter));
    return out;
}

Bytes PatOnly()
{
    unsigned counter = 0;
    return tstest::Packetize(0, {tstest::Pat(1, {{0x101, 0x100}})}, counter);
}

std::vector<Case> Cases()
{
    const Bytes mpeg2Pmt = tstest::Pmt(0x101, 0x120, {{0x02, 0x120, {}}, {0x03, 0x130, {}}});
    const Bytes h264Pmt = tstest::Pmt(0x202, 0x220, {{0x1B, 0x220, {}}, {0x06, 0x240, tstest::Ac3Descriptor()}});
    std::vector<Case> cases;
    cases.push_back({"one service recording", Tables(tstest::Pat(1, {{0, 0x10}, {0x101, 0x100}}), 0x100, mpeg2Pmt),
                     true, 0x100, 0x120, 0x120, 0x130, 0, StreamCodec::Classic});
    {
        // A whole multiplex: its first programme plays; the tables come after
        // other packets, as a recording begins anywhere.
        Bytes stream = tstest::PcrStream(0x120, 3, 5, 27000 * 40);
        Append(stream, Tables(tstest::Pat(1, {{0, 0x10}, {0x202, 0x200}, {0x101, 0x100}}), 0x200, h264Pmt));
        cases.push_back({"multiplex, first programme", stream, true, 0x200, 0x220, 0x220, 0, 0x240, StreamCodec::H264});
    }
    cases.push_back({"PAT without its PMT", PatOnly(),
                     false, 0, 0, 0, 0, 0, StreamCodec::Classic});
    cases.push_back({"no tables at all", tstest::PcrStream(0x120, 10, 4, 27000 * 40), false, 0, 0, 0, 0, 0,
                     StreamCodec::Classic});
    return cases;
}

TEST(PlayedService, FoundFromTheFirstProgrammeOfThePat)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        MemoryByteSource source(c.stream.data(), c.stream.size());
        const auto service = FindPlayedService(source, ProbeTransportStream(source));
        ASSERT_EQ(service.has_value(), c.found);
        if (!c.found)
            continue;
        EXPECT_EQ(service->PMT, c.pmt);
        EXPECT_EQ(service->PCR, c.pcr);
        EXPECT_EQ(service->Video, c.video);
        EXPECT_EQ(service->Son1, c.son1);
        EXPECT_EQ(service->Ac3, c.ac3);
        EXPECT_EQ(service->VideoCodec, c.videoCodec);
    }
}

TEST(PlayedService, LooksNoFurtherThanItsLimit)
{
    Bytes stream = tstest::PcrStream(0x120, 200, 10, 27000 * 40);
    Append(stream, Tables(tstest::Pat(1, {{0x101, 0x100}}),
                          0x100, tstest::Pmt(0x101, 0x120, {{0x02, 0x120, {}}})));
    MemoryByteSource source(stream.data(), stream.size());
    const TsProbe probe = ProbeTransportStream(source);
    EXPECT_FALSE(FindPlayedService(source, probe, 188 * 100).has_value());
    EXPECT_TRUE(FindPlayedService(source, probe).has_value());
}

}  // namespace
