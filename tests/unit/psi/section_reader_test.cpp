// The section reader as the scan and the guide use it: a request takes the
// first whole section of its table even when it is spread over several runs of
// packets; a stream keeps a bounded backlog; the wake runs once per arrival
// into an empty queue, and never after a cancel returned.
#include <gtest/gtest.h>

#include "channels/psi/section_reader.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

constexpr std::uint16_t kEitPid = 0x12;

Bytes EitSection(unsigned sid, std::uint8_t tableId)
{
    return Eit(sid, {}, tableId);
}

void Feed(SectionReader& reader, const Bytes& packets)
{
    reader.OnPackets(packets.data(), packets.size() / 188);
}

TEST(SectionReader, ARequestTakesTheFirstSectionOfItsTableAndWakesOnce)
{
    SectionReader reader;
    int wakes = 0;
    const Bytes pat = Pat(1, {{1, 0x100}});
    // A long SDT spans packets: deliver them one run each, with other PIDs between.
    const Bytes sdt = Sdt(1, 2, {Service(1, std::string(200, 'p'), std::string(200, 'n'))});
    const int sdtRequest = reader.Request(0x11, 0x42, [&] { ++wakes; });
    const int patRequest = reader.Request(0, 0x00, nullptr);
    std::vector<std::uint8_t> section;
    EXPECT_FALSE(reader.Take(sdtRequest, section));

    unsigned sdtCounter = 0, patCounter = 0;
    const Bytes sdtPackets = Packetize(0x11, {sdt, sdt}, sdtCounter);
    for (std::size_t at = 0; at < sdtPackets.size(); at += 188) {
        Feed(reader, Packetize(0, {pat}, patCounter));
        reader.OnPackets(sdtPackets.data() + at, 1);
    }
    EXPECT_EQ(wakes, 1);
    ASSERT_TRUE(reader.Take(sdtRequest, section));
    EXPECT_EQ(section, sdt);
    ASSERT_TRUE(reader.Take(patRequest, section));
    EXPECT_EQ(section, pat);

    reader.Cancel(sdtRequest);
    EXPECT_FALSE(reader.Take(sdtRequest, section));
    unsigned counter = sdtCounter;
    Feed(reader, Packetize(0x11, {sdt}, counter));
    EXPECT_EQ(wakes, 1);
}

TEST(SectionReader, ARetuneDropsTheHalfBuiltSection)
{
    SectionReader reader;
    const Bytes sdt = Sdt(1, 2, {Service(1, std::string(200, 'p'), std::string(200, 'n'))});
    const int request = reader.Request(0x11, 0x42, nullptr);
    unsigned counter = 0;
    const Bytes packets = Packetize(0x11, {sdt}, counter);
    reader.OnPackets(packets.data(), 1);
    reader.Reset();
    // The rest of the section, from the old multiplex, must not complete anything.
    reader.OnPackets(packets.data() + 188, packets.size() / 188 - 1);
    std::vector<std::uint8_t> section;
    EXPECT_FALSE(reader.Take(request, section));
    Feed(reader, packets);
    EXPECT_TRUE(reader.Take(request, section));
}

TEST(SectionReader, AStreamQueuesItsTablesUpToItsBacklog)
{
    struct Case {
        const char* name;
        std::size_t backlog;
        bool shortForm;
        std::vector<Bytes> sent;
        std::vector<Bytes> expected;
        int wakes;
    };
    const Bytes actual1 = EitSection(1, 0x4E), actual2 = EitSection(2, 0x4E), actual3 = EitSection(3, 0x4E);
    const Bytes other = EitSection(4, 0x4F), schedule = EitSection(5, 0x50);
    const Bytes tdt = ShortSection(0x4E, Bytes{1, 2, 3, 4, 5});
    const Case cases[] = {
        {"in order", 8, false, {actual1, other, actual2}, {actual1, actual2}, 1},
        {"oldest dropped", 2, false, {actual1, actual2, actual3}, {actual2, actual3}, 1},
        {"other tables ignored", 8, false, {schedule, other}, {}, 0},
        {"short form only when asked", 8, false, {tdt, actual1}, {actual1}, 1},
        {"short form taken", 8, true, {tdt, actual1}, {tdt, actual1}, 1},
    };
    for (const Case& c : cases) {
        SectionReader reader;
        int wakes = 0;
        const int stream = reader.OpenStream(kEitPid, 0x4E, 0x4E, c.backlog, c.shortForm, [&] { ++wakes; });
        unsigned counter = 0;
        for (const Bytes& s : c.sent)
            Feed(reader, Packetize(kEitPid, {s}, counter));
        std::vector<Bytes> got;
        std::vector<std::uint8_t> section;
        while (reader.Next(stream, section))
            got.push_back(section);
        EXPECT_EQ(got, c.expected) << c.name;
        EXPECT_EQ(wakes, c.wakes) << c.name;
        // Emptied, the queue wakes its owner again at the next arrival.
        Feed(reader, Packetize(kEitPid, {actual1}, counter));
        EXPECT_EQ(wakes, c.wakes + 1) << c.name;
        reader.CloseStream(stream);
        Feed(reader, Packetize(kEitPid, {actual2}, counter));
        EXPECT_FALSE(reader.Next(stream, section)) << c.name;
    }
}

}  // namespace
