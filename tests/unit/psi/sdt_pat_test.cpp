#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "channels/psi/psi_parsers.h"
#include "tests/support/sections.h"

using namespace tstest;

namespace {

Chaine Record(std::int32_t frequency, std::int32_t tsid, std::int32_t sid, std::int32_t onid = 0x20FA)
{
    Chaine c = MakeEmptyChaine();
    c.Frequence = frequency;
    c.TSID = tsid;
    c.SID = sid;
    c.ONID = onid;
    return c;
}

void Sdt(const Bytes& s, ChannelList& list, std::int32_t frequency = 586000)
{
    ParseSdt(s.data(), s.size(), frequency, list);
}

void Pat(const Bytes& s, ChannelList& list) { ParsePat(s.data(), s.size(), list); }

TEST(Sdt, AppendsEveryServiceInSectionOrder)
{
    ChannelList list{Record(474000, 1, 1)};  // from an earlier frequency
    Sdt(tstest::Sdt(0x0004, 0x20FA,
                          {Service(0x0401, "TNT", "France 5"), Service(0x0402, "TNT", "M6"),
                           Service(0x0401, "TNT", "France 5 bis")}),
        list);

    ASSERT_EQ(list.size(), 4u);
    const char* names[] = {"France 5", "M6", "France 5 bis"};
    const std::int32_t sids[] = {0x0401, 0x0402, 0x0401};
    for (int i = 0; i < 3; ++i) {
        const Chaine& c = list[1 + i];
        EXPECT_STREQ(c.Nom, names[i]);
        EXPECT_STREQ(c.Groupe, "TNT");
        EXPECT_EQ(c.Frequence, 586000);
        EXPECT_EQ(c.ONID, 0x20FA);
        EXPECT_EQ(c.TSID, 0x0004);
        EXPECT_EQ(c.SID, sids[i]);
        EXPECT_EQ(c.Numero, 0);
        EXPECT_EQ(c.PMT, 0);
        EXPECT_EQ(c.PCR, 0);
        EXPECT_EQ(c.presentEvent.startTime, 0u);
    }
}

TEST(Sdt, NamesAreCopiedByteForByte)
{
    ChannelList list;
    // Empty provider, a three-byte name with a DVB selector byte and a Latin-1 letter.
    const Bytes name{0x05, 'T', 0xE9};
    const Bytes longName(255, 'x');
    Sdt(tstest::Sdt(1, 2, {SdtService{10, ServiceDescriptor({}, name)},
                                 SdtService{11, ServiceDescriptor(longName, longName)}}),
        list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_STREQ(list[0].Groupe, "");
    EXPECT_EQ(std::strlen(list[0].Nom), 3u);
    EXPECT_EQ(0, std::memcmp(list[0].Nom, name.data(), 3));
    EXPECT_EQ(std::string(list[1].Nom), std::string(255, 'x'));
    EXPECT_EQ(std::string(list[1].Groupe), std::string(255, 'x'));
}

TEST(Sdt, FirstDescriptorIsReadAsServiceDescriptorWhateverItsTag)
{
    ChannelList list;
    // A private descriptor in first place: its bytes are read at the service
    // descriptor's offsets: type 'a', provider length 1 ("b"), name length 1 ("c").
    Sdt(tstest::Sdt(1, 2, {SdtService{7, Descriptor(0x5F, Text("a\1b\1c"))}}), list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].Groupe, "b");
    EXPECT_STREQ(list[0].Nom, "c");
}

TEST(Sdt, SectionWithoutServicesAppendsNothing)
{
    ChannelList list;
    const Bytes empty = tstest::Sdt(1, 2, {});
    EXPECT_EQ(empty.size(), 15u);
    Sdt(empty, list);
    EXPECT_TRUE(list.empty());
}

TEST(Sdt, EntryRunningPastTheEndIsNotAppended)
{
    ChannelList list;
    Bytes s = tstest::Sdt(1, 2, {Service(1, "P", "One"), Service(2, "P", "Two")});
    // Second entry's descriptors_loop_length (bytes 11 + first entry size + 3, 4)
    // is raised past the end of the section.
    const std::size_t second = 11 + 5 + ServiceDescriptor(Text("P"), Text("One")).size();
    s[second + 3] = 0x8F;
    s[second + 4] = 0xFF;
    Sdt(s, list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_STREQ(list[0].Nom, "One");
}

TEST(Pat, SetsPmtOfEveryMatchingRecordAcrossFrequencies)
{
    ChannelList list{Record(474000, 4, 0x401), Record(586000, 4, 0x401), Record(586000, 5, 0x401),
                     Record(586000, 4, 0x402)};
    Pat(tstest::Pat(4, {{0, 0x10}, {0x401, 0x100}, {0x402, 0x1FFE}}), list);
    EXPECT_EQ(list[0].PMT, 0x100);
    EXPECT_EQ(list[1].PMT, 0x100);
    EXPECT_EQ(list[2].PMT, 0);  // another transport stream
    EXPECT_EQ(list[3].PMT, 0x1FFE);
}

TEST(Pat, FirstEntryIsSkippedEvenWhenItIsAService)
{
    ChannelList list{Record(1, 4, 5), Record(1, 4, 6)};
    Pat(tstest::Pat(4, {{5, 0x100}, {6, 0x200}}), list);
    EXPECT_EQ(list[0].PMT, 0);
    EXPECT_EQ(list[1].PMT, 0x200);
}

TEST(Pat, LaterEntriesWinAndANetworkOnlyPatChangesNothing)
{
    ChannelList list{Record(1, 4, 5)};
    const Bytes networkOnly = tstest::Pat(4, {{0, 0x10}});
    EXPECT_EQ(networkOnly.size(), 16u);
    Pat(networkOnly, list);
    EXPECT_EQ(list[0].PMT, 0);

    Pat(tstest::Pat(4, {{0, 0x10}, {5, 0x100}, {5, 0x101}}), list);
    EXPECT_EQ(list[0].PMT, 0x101);
}

}  // namespace
