#include "channels/scan_rules.h"

#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "tests/support/sections.h"

namespace {

using namespace tstest;

Chaine Playable(const char* name, std::int32_t video = 120, std::int32_t pcr = 120)
{
    Chaine c = MakeEmptyChaine();
    std::strncpy(c.Nom, name, sizeof c.Nom - 1);
    c.Video = video;
    c.PCR = pcr;
    return c;
}

std::string Names(const ChannelList& list)
{
    std::string s;
    for (const Chaine& c : list)
        s += std::string(c.Nom) + ";";
    return s;
}

TEST(RemoveUnplayable, DropsRecordsWithoutVideoOrPcrAndKeepsTheOrder)
{
    ChannelList list{Playable("radio1", 0), Playable("radio2", 0), Playable("tv1"),
                     Playable("nopcr", 120, kNoPcrPid), Playable("tv2"), Playable("radio3", 0)};
    RemoveUnplayable(list);
    EXPECT_EQ(Names(list), "tv1;tv2;");

    ChannelList none{Playable("a", 0)};
    RemoveUnplayable(none);
    EXPECT_TRUE(none.empty());
}

// A multiplex in section form: what a tuned receiver would be handed.
struct Multiplex {
    std::map<std::pair<unsigned, unsigned>, Bytes> sections;  // (pid, table_id) -> first section
};

// The demo multiplex: two TV services, one radio, one data service missing from the PAT.
Multiplex FourServices(unsigned tsid)
{
    Multiplex m;
    m.sections[{0x11, 0x42}] = Sdt(tsid, 0x20FA, {Service(1, "P", "TV B"), Service(2, "P", "Radio"),
                                                  Service(3, "P", "TV A"), Service(4, "P", "Data")});
    m.sections[{0x00, 0x00}] = Pat(tsid, {{0, 0x10}, {1, 0x100}, {2, 0x200}, {3, 0x300}});
    m.sections[{0x100, 0x02}] = Pmt(1, 0x101, {{0x02, 0x101, {}}, {0x03, 0x102, {}}, {0x06, 0x103, Ac3Descriptor()}});
    m.sections[{0x200, 0x02}] = Pmt(2, 0x201, {{0x03, 0x201, {}}});
    m.sections[{0x300, 0x02}] = Pmt(3, 0x301, {{0x02, 0x301, {}}, {0x04, 0x302, {}}, {0x04, 0x303, {}}});
    return m;
}

Bytes LcnNit(unsigned tsid)
{
    return Nit(0x20FA, {{tsid, 0x20FA, LogicalChannelDescriptor({{1, 7}, {2, 30}, {3, 5}, {4, 40}})}});
}

struct Request {
    unsigned pid;
    unsigned tableId;
    std::uint32_t timeout;
    bool operator==(const Request&) const = default;
};

// A section source that answers from `m` and writes down what was asked.
SectionRequest Answering(const Multiplex& m, std::vector<Request>& asked)
{
    return [&m, &asked](std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeout, std::vector<std::uint8_t>& out) {
        asked.push_back({pid, tableId, timeout});
        const auto it = m.sections.find({pid, tableId});
        if (it == m.sections.end())
            return false;
        out = it->second;
        return true;
    };
}

TEST(ReadMultiplexTables, AsksSdtPatEachPmtThenNitAndFillsTheRecords)
{
    Multiplex m = FourServices(1);
    m.sections[{0x10, 0x40}] = LcnNit(1);
    std::vector<Request> asked;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ReadMultiplexTables(474166, Answering(m, asked), list, nit);

    const std::vector<Request> expected{{0x11, 0x42, 5000}, {0x00, 0x00, 10000}, {0x100, 0x02, 5000},
                                        {0x200, 0x02, 5000}, {0x300, 0x02, 5000}, {0x000, 0x02, 5000},
                                        {0x10, 0x40, 10000}};
    EXPECT_EQ(asked, expected);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].Frequence, 474166);
    EXPECT_EQ(list[0].Video, 0x101);
    EXPECT_EQ(list[0].Son1, 0x102);
    EXPECT_EQ(list[0].Ac3, 0x103);
    EXPECT_EQ(list[2].Son2, 0x303);
    EXPECT_EQ(list[3].PMT, 0);
    EXPECT_EQ(nit, (m.sections[{0x10, 0x40}]));
}

TEST(ReadMultiplexTables, NoSdtStopsTheFrequencyAndACapturedNitIsNotAskedAgain)
{
    std::vector<Request> asked;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ReadMultiplexTables(482166, Answering(Multiplex{}, asked), list, nit);
    EXPECT_EQ(asked, (std::vector<Request>{{0x11, 0x42, 5000}}));
    EXPECT_TRUE(list.empty());

    // First multiplex without NIT asks for it; once captured, later ones do not.
    Multiplex noNit = FourServices(1);
    Multiplex withNit = FourServices(2);
    withNit.sections[{0x10, 0x40}] = LcnNit(2);
    const Multiplex* order[] = {&noNit, &withNit, &noNit};
    const bool asksNit[] = {true, true, false};
    for (int k = 0; k < 3; ++k) {
        asked.clear();
        ReadMultiplexTables(490166, Answering(*order[k], asked), list, nit);
        EXPECT_EQ(asked.back() == (Request{0x10, 0x40, 10000}), asksNit[k]) << "multiplex " << k;
    }
    EXPECT_EQ(nit, (withNit.sections[{0x10, 0x40}]));
    EXPECT_EQ(list.size(), 12u);
}

TEST(FinishScan, WithANitNumbersFiltersAndSorts)
{
    Multiplex m = FourServices(1);
    std::vector<Request> asked;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ReadMultiplexTables(474166, Answering(m, asked), list, nit);
    const Bytes captured = LcnNit(1);
    FinishScan(list, &captured);
    EXPECT_EQ(Names(list), "TV A;TV B;");
    EXPECT_EQ(list[0].Numero, 5);
    EXPECT_EQ(list[1].Numero, 7);
}

TEST(FinishScan, WithoutANitKeepsEveryServiceInScanOrder)
{
    Multiplex m = FourServices(1);
    std::vector<Request> asked;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ReadMultiplexTables(474166, Answering(m, asked), list, nit);
    FinishScan(list, nullptr);
    EXPECT_EQ(Names(list), "TV B;Radio;TV A;Data;");
    const std::vector<std::uint8_t> empty;
    FinishScan(list, &empty);
    EXPECT_EQ(list.size(), 4u);
    for (const Chaine& c : list)
        EXPECT_EQ(c.Numero, 0);
}

TEST(FinishScan, SameMultiplexOnTwoFrequenciesGivesTwoNumberedCopies)
{
    Multiplex m = FourServices(1);
    std::vector<Request> asked;
    ChannelList list;
    std::vector<std::uint8_t> nit;
    ReadMultiplexTables(474166, Answering(m, asked), list, nit);
    ReadMultiplexTables(522166, Answering(m, asked), list, nit);
    const Bytes captured = LcnNit(1);
    FinishScan(list, &captured);
    ASSERT_EQ(list.size(), 4u);
    // The exchange sort is not stable: 7@474, 5@474, 7@522, 5@522 end as
    // 5@474, 5@522, 7@522, 7@474.
    EXPECT_EQ(Names(list), "TV A;TV A;TV B;TV B;");
    const std::int32_t frequencies[] = {474166, 522166, 522166, 474166};
    const std::int32_t numbers[] = {5, 5, 7, 7};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(list[i].Frequence, frequencies[i]) << i;
        EXPECT_EQ(list[i].Numero, numbers[i]) << i;
    }
}

Bytes DeliveryAt(std::int32_t kHz)
{
    const auto tens = static_cast<std::uint32_t>(kHz) * 100;
    return Descriptor(0x5A, {static_cast<std::uint8_t>(tens >> 24), static_cast<std::uint8_t>(tens >> 16),
                             static_cast<std::uint8_t>(tens >> 8), static_cast<std::uint8_t>(tens), 0x1F, 0x81,
                             0x0A, 0xFF, 0xFF, 0xFF, 0xFF});
}

TEST(SkippedButAnnounced, KeepsTheSkippedFrequenciesOfStreamsNotFound)
{
    // The network: TSID 1 on 474166 kHz (found), TSID 2 on 482000 and TSID 3 on 530333 (not found).
    const Bytes nit = Nit(0x20FA, {{1, 0x20FA, DeliveryAt(474166)},
                                   {2, 0x20FA, DeliveryAt(482000)},
                                   {3, 0x20FA, DeliveryAt(530333)}});
    ChannelList found{MakeEmptyChaine()};
    found[0].ONID = 0x20FA;
    found[0].TSID = 1;
    struct Case {
        const char* what;
        std::vector<std::int32_t> skipped;
        Bytes nit;
        std::vector<std::int32_t> expected;
    } cases[] = {
        {"announced, offset within the channel", {482166, 530166, 546166}, nit, {482166, 530166}},
        {"the found stream's frequency is not scanned again", {474166}, nit, {}},
        {"next channel is not the same place", {490000, 526333, 534333}, nit, {}},
        {"order of the skipped list", {530166, 482166}, nit, {530166, 482166}},
        {"no NIT captured", {482166}, {}, {}},
        {"NIT without delivery descriptors", {482166}, LcnNit(2), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SkippedButAnnounced(c.skipped, c.nit, found), c.expected) << c.what;
}

}  // namespace
