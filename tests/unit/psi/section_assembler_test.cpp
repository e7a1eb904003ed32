#include <gtest/gtest.h>

#include "channels/psi/section_assembler.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

struct Collector {
    std::vector<Bytes> sections;
    SectionAssembler assembler;

    explicit Collector(std::uint16_t pid, bool acceptShortForm = false)
        : assembler(pid, [this](const std::uint8_t* s, std::size_t n) { sections.emplace_back(s, s + n); },
                    acceptShortForm)
    {
    }
    void Feed(const Bytes& packets) { assembler.Feed(packets.data(), packets.size()); }
};

Bytes PacketAt(const Bytes& packets, std::size_t index)
{
    return Bytes(packets.begin() + static_cast<std::ptrdiff_t>(index * 188),
                 packets.begin() + static_cast<std::ptrdiff_t>((index + 1) * 188));
}

const Bytes kSdt = Sdt(1, 2, {Service(1, "Provider", "Name")});
const Bytes kPat = Pat(1, {{0, 0x10}, {1, 0x100}});
// Spans three packets.
const Bytes kLongSdt = Sdt(1, 2, {Service(1, std::string(200, 'p'), std::string(200, 'n'))});

TEST(SectionAssembler, WholeSectionsFromOneOrSeveralPackets)
{
    Collector c(0x11);
    unsigned cc = 0;
    c.Feed(Packetize(0x11, {kSdt}, cc));
    const Bytes spanning = Packetize(0x11, {kLongSdt}, cc);
    ASSERT_EQ(spanning.size(), 3 * 188u);
    c.Feed(spanning);
    ASSERT_EQ(c.sections.size(), 2u);
    EXPECT_EQ(c.sections[0], kSdt);
    EXPECT_EQ(c.sections[1], kLongSdt);
}

TEST(SectionAssembler, SeveralSectionsInAPacketAndASectionStartingMidPacket)
{
    Collector c(0x11);
    unsigned cc = 5;
    // kLongSdt ends inside the third packet, where the next two sections begin:
    // the pointer_field skips the tail of the long one.
    c.Feed(Packetize(0x11, {kLongSdt, kSdt, kSdt, kLongSdt}, cc));
    ASSERT_EQ(c.sections.size(), 4u);
    EXPECT_EQ(c.sections[0], kLongSdt);
    EXPECT_EQ(c.sections[1], kSdt);
    EXPECT_EQ(c.sections[2], kSdt);
    EXPECT_EQ(c.sections[3], kLongSdt);
}

TEST(SectionAssembler, OtherPidsAndStuffingAreIgnored)
{
    Collector c(0x00);
    unsigned cc = 0, other = 0;
    Bytes stream = Packetize(0x11, {kSdt}, other);
    Append(stream, Packetize(0x00, {kPat}, cc));
    Append(stream, Packetize(0x1FFF, {Bytes(180, 0xFF)}, other));
    c.Feed(stream);
    ASSERT_EQ(c.sections.size(), 1u);
    EXPECT_EQ(c.sections[0], kPat);
}

TEST(SectionAssembler, LostPacketDropsTheSectionAndRepeatedPacketIsIgnored)
{
    unsigned cc = 0;
    const Bytes packets = Packetize(0x11, {kLongSdt, kSdt}, cc);
    ASSERT_EQ(packets.size(), 3 * 188u);
    {
        Collector c(0x11);
        c.Feed(PacketAt(packets, 0));
        c.Feed(PacketAt(packets, 2));  // packet 1 lost
        // kSdt begins in packet 2 after the pointer_field: it is still whole.
        ASSERT_EQ(c.sections.size(), 1u);
        EXPECT_EQ(c.sections[0], kSdt);
    }
    {
        Collector c(0x11);
        c.Feed(PacketAt(packets, 0));
        c.Feed(PacketAt(packets, 1));
        c.Feed(PacketAt(packets, 1));  // sent twice
        c.Feed(PacketAt(packets, 2));
        ASSERT_EQ(c.sections.size(), 2u);
        EXPECT_EQ(c.sections[0], kLongSdt);
    }
    {
        Collector c(0x11);
        Bytes damaged = packets;
        damaged[188 + 1] |= 0x80;  // transport_error_indicator on packet 1
        c.Feed(damaged);
        ASSERT_EQ(c.sections.size(), 1u);
        EXPECT_EQ(c.sections[0], kSdt);
    }
}

// `section` in packets of at most 150 payload bytes, each with the continuity
// counter given; the rest of each packet is an adaptation field whose flags byte
// is `flags[i]`, and `scrambling[i]` goes into the header.
Bytes Carry(std::uint16_t pid, const Bytes& section, const std::vector<unsigned>& counters,
            const std::vector<std::uint8_t>& flags, const std::vector<std::uint8_t>& scrambling)
{
    Bytes payload{0};  // pointer_field
    Append(payload, section);
    Bytes out;
    for (std::size_t at = 0, i = 0; at < payload.size(); at += 150, ++i) {
        const std::size_t n = std::min<std::size_t>(150, payload.size() - at);
        Bytes p{kTsSyncByte, static_cast<std::uint8_t>((at == 0 ? 0x40 : 0) | pid >> 8), static_cast<std::uint8_t>(pid),
                static_cast<std::uint8_t>(scrambling.at(i) << 6 | 0x30 | counters.at(i)),
                static_cast<std::uint8_t>(183 - n), flags.at(i)};
        p.resize(kTsPacketSize - n, 0xFF);
        p.insert(p.end(), payload.begin() + static_cast<std::ptrdiff_t>(at),
                 payload.begin() + static_cast<std::ptrdiff_t>(at + n));
        Append(out, p);
    }
    return out;
}

TEST(SectionAssembler, ScrambledPayloadIsLostAndSignalledDiscontinuityIsNoLoss)
{
    const std::vector<std::uint8_t> clear{0, 0, 0}, plainFlags{0, 0, 0};
    ASSERT_EQ(Carry(0x11, kLongSdt, {0, 1, 2}, plainFlags, clear).size(), 3 * kTsPacketSize);
    {
        Collector c(0x11);
        c.Feed(Carry(0x11, kLongSdt, {0, 1, 2}, plainFlags, clear));
        ASSERT_EQ(c.sections.size(), 1u);
        EXPECT_EQ(c.sections[0], kLongSdt);
    }
    {
        // The counter jumps from 1 to 9 where the discontinuity_indicator says so.
        Collector c(0x11);
        c.Feed(Carry(0x11, kLongSdt, {0, 1, 9}, {0, 0, 0x80}, clear));
        ASSERT_EQ(c.sections.size(), 1u);
        EXPECT_EQ(c.sections[0], kLongSdt);
    }
    {
        // The same jump unannounced is a lost packet.
        Collector c(0x11);
        c.Feed(Carry(0x11, kLongSdt, {0, 1, 9}, plainFlags, clear));
        EXPECT_TRUE(c.sections.empty());
    }
    {
        // A scrambled middle packet cannot be read: the section is lost, the
        // counter still runs, and the next section arrives whole.
        Collector c(0x11);
        c.Feed(Carry(0x11, kLongSdt, {0, 1, 2}, plainFlags, {0, 2, 0}));
        c.Feed(Carry(0x11, kSdt, {3, 4}, {0, 0}, {0, 0}));
        ASSERT_EQ(c.sections.size(), 1u);
        EXPECT_EQ(c.sections[0], kSdt);
    }
    {
        // A packet out of sync cannot be told to be ours; the counter of the next
        // one shows whether one of ours was lost.
        Collector c(0x11);
        Bytes stream = Carry(0x11, kLongSdt, {0, 1, 2}, plainFlags, clear);
        unsigned other = 0;
        Bytes stray = Packetize(0x11, {kPat}, other);
        stray[0] = 0x00;
        stream.insert(stream.begin() + static_cast<std::ptrdiff_t>(kTsPacketSize), stray.begin(), stray.end());
        c.Feed(stream);
        ASSERT_EQ(c.sections.size(), 1u);
        EXPECT_EQ(c.sections[0], kLongSdt);

        Collector lost(0x11);
        stream = Carry(0x11, kLongSdt, {0, 1, 2}, plainFlags, clear);
        stream[kTsPacketSize] = 0x00;  // packet 1 of ours arrives out of sync
        lost.Feed(stream);
        EXPECT_TRUE(lost.sections.empty());
    }
}

TEST(SectionAssembler, BadCrcAndShortFormSections)
{
    Bytes corrupt = kSdt;
    corrupt[20] ^= 0x01;
    const Bytes tdt = ShortSection(0x70, {0xC0, 0x79, 0x12, 0x45, 0x00});
    unsigned cc = 0;
    const Bytes stream = Packetize(0x11, {corrupt, tdt, kSdt}, cc);

    Collector strict(0x11);
    strict.Feed(stream);
    ASSERT_EQ(strict.sections.size(), 1u);
    EXPECT_EQ(strict.sections[0], kSdt);

    Collector lenient(0x11, true);
    lenient.Feed(stream);
    ASSERT_EQ(lenient.sections.size(), 2u);
    EXPECT_EQ(lenient.sections[0], tdt);
}

TEST(SectionAssembler, AdaptationFieldIsSkipped)
{
    unsigned cc = 0;
    Bytes packet = Packetize(0x00, {kPat}, cc);
    // Rebuild with an 8-byte adaptation field: header, length 7, flags, 6 stuffing bytes.
    Bytes withField(packet.begin(), packet.begin() + 4);
    withField[3] = static_cast<std::uint8_t>(0x30 | (withField[3] & 0x0F));
    withField.push_back(7);
    withField.push_back(0x00);
    withField.insert(withField.end(), 6, 0xFF);
    withField.insert(withField.end(), packet.begin() + 4, packet.begin() + 188 - 8);
    ASSERT_EQ(withField.size(), 188u);
    Collector c(0x00);
    c.Feed(withField);
    ASSERT_EQ(c.sections.size(), 1u);
    EXPECT_EQ(c.sections[0], kPat);
}

TEST(SectionAssembler, GarbagePacketsNeverReadOutside)
{
    // Pointer fields past the payload, huge section lengths, truncated runs.
    Collector c(0x11);
    Bytes p(188, 0xFF);
    p[0] = 0x47;
    p[1] = 0x40;
    p[2] = 0x11;
    p[3] = 0x10;
    p[4] = 200;  // pointer past the end
    c.Feed(p);
    p[3] = 0x11;
    p[4] = 0;
    p[5] = 0x42;
    p[6] = 0xFF;  // section_length 0xFFF: more than a section may hold
    p[7] = 0xFF;
    c.Feed(p);
    p[3] = 0x32;
    p[4] = 190;  // adaptation field longer than the packet
    c.Feed(p);
    c.Feed(Bytes(187, 0x47));  // not a whole packet
    EXPECT_TRUE(c.sections.empty());
}

TEST(FindFirstSection, FirstSectionOfTheWantedTableOnThePid)
{
    unsigned cc = 0, sdtcc = 0;
    const Bytes other = Sdt(9, 2, {Service(1, "x", "y")});
    Bytes sdtOther = other;
    sdtOther[0] = 0x46;  // SDT of another transport stream: same PID, other table
    sdtOther = LongSection(0x46, 9, Bytes(sdtOther.begin() + 8, sdtOther.end() - 4));
    Bytes stream = Packetize(0x00, {kPat}, cc);
    Append(stream, Packetize(0x11, {sdtOther}, sdtcc));
    Append(stream, Packetize(0x11, {kLongSdt}, sdtcc));
    Append(stream, Packetize(0x11, {kSdt}, sdtcc));
    EXPECT_EQ(FindFirstSection(stream.data(), stream.size(), 0x11, 0x42), kLongSdt);
    EXPECT_EQ(FindFirstSection(stream.data(), stream.size(), 0x11, 0x46), sdtOther);
    EXPECT_EQ(FindFirstSection(stream.data(), stream.size(), 0x00, 0x00), kPat);
    EXPECT_TRUE(FindFirstSection(stream.data(), stream.size(), 0x10, 0x40).empty());
    EXPECT_TRUE(FindFirstSection(nullptr, 0, 0x10, 0x40).empty());
}

}  // namespace
