// The demo broadcast read back as the program reads it: a scan with the
// project's table parsers, then the guide with its EIT parser.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "channels/chaine.h"
#include "channels/psi/psi_parsers.h"
#include "channels/psi/section_assembler.h"
#include "channels/text/dvb_text.h"
#include "demo_fixture.h"
#include "guide/eit_parser.h"

namespace {

// Guide texts in UTC, so that the test does not depend on the machine's zone.
class UtcFormatter final : public LocalTimeFormatter {
public:
    void Format(std::uint64_t fileTime, char (&text)[32]) const override
    {
        const std::uint64_t s = fileTime / 10000000 % 86400;
        std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned(s / 3600), unsigned(s / 60 % 60), unsigned(s % 60));
    }
};

std::uint64_t FileTime(std::int64_t unixSeconds)
{
    return static_cast<std::uint64_t>(unixSeconds + 11644473600LL) * 10000000ULL;
}

std::vector<std::uint8_t> First(const std::vector<std::uint8_t>& ts, std::uint16_t pid, std::uint8_t table)
{
    return FindFirstSection(ts.data(), ts.size(), pid, table);
}

// What a scan of the demo city's frequencies would list, before numbering.
ChannelList ScanDemo()
{
    const DemoBroadcast& demo = DemoBroadcast::Get();
    ChannelList list;
    for (std::size_t m = 0; m < demo.streams.size(); ++m) {
        const auto& ts = demo.streams[m];
        const auto freq = static_cast<std::int32_t>(demo.description.multiplexes[m].frequencyKHz);
        const std::size_t before = list.size();
        const auto sdt = First(ts, kSdtPid, kSdtActualTableId);
        ParseSdt(sdt.data(), sdt.size(), freq, list);
        const auto pat = First(ts, kPatPid, kPatTableId);
        ParsePat(pat.data(), pat.size(), list);
        for (std::size_t i = before; i < list.size(); ++i) {
            const auto pmt = First(ts, static_cast<std::uint16_t>(list[i].PMT), kPmtTableId);
            ParsePmt(pmt.data(), pmt.size(), i, list);
        }
    }
    const auto nit = First(demo.streams.front(), kNitPid, kNitActualTableId);
    ApplyNit(nit.data(), nit.size(), list);
    return list;
}

const tsgen::Service* Described(const Chaine& c)
{
    for (const auto& m : DemoBroadcast::Get().description.multiplexes)
        if (static_cast<std::int32_t>(m.frequencyKHz) == c.Frequence)
            for (const auto& s : m.services)
                if (s.sid == c.SID)
                    return &s;
    return nullptr;
}

TEST(DemoScan, FindsEveryDescribedServiceWithItsNamesPidsAndNumber)
{
    const DemoBroadcast& demo = DemoBroadcast::Get();
    const ChannelList list = ScanDemo();
    std::size_t described = 0;
    for (const auto& m : demo.description.multiplexes)
        described += m.services.size();
    ASSERT_EQ(list.size(), described);
    EXPECT_GE(list.size(), 12u);
    for (const Chaine& c : list) {
        const tsgen::Service* s = Described(c);
        ASSERT_NE(s, nullptr) << c.Nom;
        SCOPED_TRACE(s->name);
        EXPECT_EQ(std::string(c.Nom), s->name);
        EXPECT_EQ(std::string(c.Groupe), s->provider);
        EXPECT_EQ(c.PMT, s->pmtPid);
        EXPECT_EQ(c.PCR, s->pcrPid);
        EXPECT_EQ(c.Video, s->video ? s->video->pid : 0);
        const tsgen::VideoCodec video = s->video ? s->video->codec : tsgen::VideoCodec::Mpeg2;
        EXPECT_EQ(c.VideoCodec, video == tsgen::VideoCodec::H264   ? StreamCodec::H264
                                : video == tsgen::VideoCodec::Hevc ? StreamCodec::Hevc
                                                                   : StreamCodec::Classic);
        // The demo's services carry MPEG audio or AAC, never both.
        std::vector<int> tracks;
        int dolby = 0;
        bool aac = false, eac3 = false;
        for (const auto& a : s->audio) {
            if (a.kind == tsgen::AudioKind::Mpeg || a.kind == tsgen::AudioKind::Aac) {
                tracks.push_back(a.pid);
                aac = a.kind == tsgen::AudioKind::Aac;
            } else {
                dolby = a.pid;
                eac3 = a.kind == tsgen::AudioKind::Eac3;
            }
        }
        EXPECT_EQ(c.Son1, tracks.empty() ? 0 : tracks.front());
        EXPECT_EQ(c.Son2, tracks.size() < 2 ? 0 : tracks.back());
        EXPECT_EQ(c.Son1Codec, aac ? StreamCodec::AacAdts : StreamCodec::Classic);
        EXPECT_EQ(c.Ac3, dolby);
        EXPECT_EQ(c.Ac3Codec, eac3 ? StreamCodec::Eac3 : StreamCodec::Classic);
        EXPECT_EQ(c.Numero, s->lcn ? *s->lcn : 0);
    }
}

TEST(DemoScan, CoversTheCasesAScanMustHandle)
{
    const ChannelList list = ScanDemo();
    auto count = [&](auto predicate) { return std::count_if(list.begin(), list.end(), predicate); };
    EXPECT_GE(count([](const Chaine& c) { return c.Video == 0 && c.Son1 != 0; }), 2) << "radio services";
    EXPECT_GE(count([](const Chaine& c) { return c.Son2 != 0; }), 1) << "a second MPEG audio track";
    EXPECT_GE(count([](const Chaine& c) { return c.Ac3 != 0; }), 1) << "an AC-3 track";
    EXPECT_GE(count([](const Chaine& c) { return c.PCR == 0x1FFF; }), 1) << "a service without PCR";
    EXPECT_GE(count([](const Chaine& c) { return c.VideoCodec == StreamCodec::H264 && c.Ac3Codec == StreamCodec::Eac3; }),
              1)
        << "an H.264 service with E-AC-3 sound";
    EXPECT_GE(count([](const Chaine& c) { return c.VideoCodec == StreamCodec::Hevc; }), 1) << "an HEVC service";
    EXPECT_GE(count([](const Chaine& c) { return c.Son1Codec == StreamCodec::AacAdts; }), 1) << "AAC sound";
    EXPECT_GE(count([](const Chaine& c) {
                  return std::any_of(c.Nom, c.Nom + std::strlen(c.Nom), [](char b) { return (b & 0x80) != 0; });
              }),
              3)
        << "names with accented letters";
    // Numbering reorders the list.
    ChannelList sorted = list;
    SortByNumero(sorted);
    std::vector<std::string> before, after;
    for (const Chaine& c : list)
        before.push_back(c.Nom);
    for (const Chaine& c : sorted)
        after.push_back(c.Nom);
    EXPECT_NE(before, after);
    EXPECT_EQ(DecodeDvbText(sorted.front().Nom), u"Océane TV");
}

TEST(DemoGuide, EveryServiceGetsItsNowAndNextFromItsOwnOrAnotherMultiplex)
{
    const DemoBroadcast& demo = DemoBroadcast::Get();
    const std::int64_t clock = demo.description.clock;
    for (std::size_t tuned = 0; tuned < demo.streams.size(); ++tuned) {
        // Tuned to one multiplex, the guide learns every service through 0x4E and 0x4F.
        SCOPED_TRACE("tuned to " + std::to_string(demo.description.multiplexes[tuned].frequencyKHz));
        ChannelList list = ScanDemo();
        UtcFormatter utc;
        SectionAssembler eit(kEitPid, [&](const std::uint8_t* section, std::size_t length) {
            ParseEitSection(section, length, list, -1, utc);
        });
        eit.Feed(demo.streams[tuned].data(), demo.streams[tuned].size());
        for (const Chaine& c : list) {
            const tsgen::Service* s = Described(c);
            ASSERT_NE(s, nullptr);
            SCOPED_TRACE(s->name);
            const auto present = std::find_if(s->events.begin(), s->events.end(), [&](const tsgen::Event& e) {
                return e.start <= clock && clock < e.start + e.duration;
            });
            ASSERT_NE(present, s->events.end()) << "the demo has a programme on air for every service";
            ASSERT_NE(present + 1, s->events.end());
            EXPECT_EQ(c.presentEvent.startTime, FileTime(present->start));
            EXPECT_EQ(c.followingEvent.startTime, FileTime((present + 1)->start));
            // The ISO 8859-9 selector byte some titles start with is dropped by the guide.
            const std::string title = present->title.rfind('\x05', 0) == 0 ? present->title.substr(1) : present->title;
            EXPECT_EQ(std::string(c.presentEvent.title), title);
        }
    }
}

TEST(DemoGuide, TitlesAndTimesOfTwoServices)
{
    ChannelList list = ScanDemo();
    UtcFormatter utc;
    const DemoBroadcast& demo = DemoBroadcast::Get();
    SectionAssembler eit(kEitPid, [&](const std::uint8_t* section, std::size_t length) {
        ParseEitSection(section, length, list, -1, utc);
    });
    eit.Feed(demo.streams.front().data(), demo.streams.front().size());
    auto find = [&](const char16_t* name) {
        return std::find_if(list.begin(), list.end(), [&](const Chaine& c) { return DecodeDvbText(c.Nom) == name; });
    };
    const auto tele = find(u"Télé Démo");
    ASSERT_NE(tele, list.end());
    EXPECT_STREQ(tele->presentEvent.title, "Le Journal de 20 heures");
    EXPECT_STREQ(tele->presentEvent.startText, "19:00:00");
    EXPECT_STREQ(tele->presentEvent.endText, "19:55:00");
    EXPECT_EQ(DecodeDvbText(tele->followingEvent.title, tele->followingEvent.titleTable),
              u"Série : Les Enquêtes de l'Écluse");
    const auto sport = find(u"Sport Évasion");  // on another multiplex: table 0x4F
    ASSERT_NE(sport, list.end());
    // Sent in ISO 8859-9 behind its selector, which the guide keeps as the table.
    EXPECT_EQ(sport->presentEvent.titleTable, DvbTextTable::Iso8859_9);
    EXPECT_EQ(DecodeDvbText(sport->presentEvent.title, sport->presentEvent.titleTable), u"Rugby : Finale Régionale");
    EXPECT_EQ(DecodeDvbText(sport->followingEvent.description, sport->followingEvent.descriptionTable),
              u"Tous les buts de la soirée.");
}

}  // namespace
