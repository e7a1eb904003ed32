// Subtitle streams of the generator: their descriptors in the PMT, read by the
// program's own parser, and their PES read by the program's own decoders.
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "channels/psi/psi_parsers.h"
#include "graph/subtitles/dvb_subtitle_decoder.h"
#include "graph/subtitles/teletext_decoder.h"
#include "tools/tsgen/description_parser.h"
#include "tools/tsgen/muxer.h"
#include "ts_reading.h"

namespace {

constexpr char kDescription[] = R"(broadcast clock=2026-03-14T19:30:00 seconds=3
mux uhf=21 tsid=1 onid=0x20FA
service sid=1 name="VO" pmt=0x100
video pid=0x110
audio pid=0x111 lang=fra
audio pid=0x112 lang=qaa lang2=eng
eac3 pid=0x113 lang=qad
dvbsub pid=0x120 lang=fra type=0x20 page=3 colour=0xFF0000 timeout=1 every=1000
teletext pid=0x121 lang=fra page=0x888 type=2 colour=3 text="Déjà là !"
)";

// The data field of every PES of each PID, in order.
std::map<std::uint16_t, std::vector<std::vector<std::uint8_t>>> PesDataFields(const std::vector<std::uint8_t>& ts)
{
    std::map<std::uint16_t, std::vector<std::vector<std::uint8_t>>> pes;
    for (const tsinspect::Packet& p : tsinspect::SplitPackets(ts)) {
        if (!p.hasPayload || (p.pid != 0x120 && p.pid != 0x121))
            continue;
        auto& list = pes[p.pid];
        if (p.unitStart)
            list.emplace_back();
        if (!list.empty())
            list.back().insert(list.back().end(), p.payload, p.payload + p.payloadSize);
    }
    for (auto& [pid, list] : pes)
        for (auto& field : list)
            field.erase(field.begin(), field.begin() + 9 + field.at(8));  // PES header
    return pes;
}

TEST(SubtitleStreams, DescribedInThePmtAndDecodedByTheProgram)
{
    const tsgen::Description d = tsgen::ParseDescription(kDescription);
    std::vector<std::uint8_t> pmt;
    const auto ts = tsgen::GenerateMultiplex(d, d.multiplexes[0], [&](std::uint16_t pid, const tsgen::Section& s) {
        if (pid == 0x100)
            pmt = s;
    });

    ChannelList list{MakeEmptyChaine()};
    ParsePmt(pmt.data(), pmt.size(), 0, list);
    const ServiceStreams& streams = list[0].Streams;
    ASSERT_EQ(streams.audioCount, 3);
    EXPECT_EQ(streams.audio[1].kind, AudioKind::OriginalVersion);
    EXPECT_EQ(LanguageOf(streams.audio[1].spokenLanguage), "eng");
    EXPECT_EQ(streams.audio[2].kind, AudioKind::AudioDescription);
    EXPECT_EQ(streams.audio[2].codec, AudioCodec::Eac3);
    ASSERT_EQ(streams.subtitleCount, 2);
    EXPECT_EQ(streams.subtitles[0].compositionPage, 3);
    EXPECT_TRUE(IsHardOfHearing(streams.subtitles[0]));
    EXPECT_EQ(streams.subtitles[1].format, ::SubtitleFormat::Teletext);
    EXPECT_EQ(streams.subtitles[1].teletextPage, 0x888);

    const auto pes = PesDataFields(ts);
    ASSERT_GE(pes.at(0x120).size(), 2u);
    DvbSubtitleDecoder dvb(3, 3);
    std::vector<SubtitlePicture> pictures;
    for (const auto& field : pes.at(0x120))
        for (SubtitlePicture& p : dvb.Decode(field.data(), field.size(), 0))
            pictures.push_back(std::move(p));
    ASSERT_EQ(pictures.size(), pes.at(0x120).size());
    const SubtitlePicture& p = pictures[0];
    EXPECT_EQ(p.timeoutSeconds, 1u);
    const auto at = [&p](unsigned x, unsigned y) { return p.pixels[std::size_t{y} * p.width + x]; };
    EXPECT_EQ(at(61, 471), MakeArgb(255, 0, 0, 0)) << std::hex << at(61, 471);  // the black edge
    EXPECT_EQ(at(300, 490) & 0xFFF0F0F0, 0xFFF00000u) << std::hex << at(300, 490);  // red, within rounding
    EXPECT_EQ(at(285, 535), MakeArgb(255, 255, 255, 255)) << std::hex << at(285, 535);  // white stripe
    EXPECT_EQ(at(305, 535), MakeArgb(255, 0, 0, 0));   // black stripe
    EXPECT_EQ(at(59, 470), 0u);

    TeletextSubtitleDecoder teletext(0x888);
    const auto& field = pes.at(0x121).at(0);
    const auto pages = teletext.Decode(field.data(), field.size(), 0);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].rows.size(), 1u);
    EXPECT_EQ(pages[0].rows[0].row, 22u);
    EXPECT_EQ(pages[0].rows[0].spans.at(0).text, u"Déjà là !");
    EXPECT_EQ(pages[0].rows[0].spans.at(0).foreground, TeletextColour::Yellow);
}

TEST(SubtitleStreams, FaultyLinesAreRefused)
{
    const std::string head = "mux uhf=21 tsid=1 onid=1\nservice sid=1 name=A pmt=0x100\n";
    for (const char* line : {"teletext pid=0x121 text=\"5 $\"", "teletext pid=0x121 type=3",
                             "dvbsub pid=0x120 type=0x30", "dvbsub pid=0x100", "dvbsub pid=0x120 timeout=256"}) {
        EXPECT_THROW(tsgen::ParseDescription(head + line + "\n"), tsgen::DescriptionError) << line;
    }
}

}  // namespace
