// Writes valid sections of each table into DIR/<target>/, the seed corpora of
// the fuzz targets. Usage: make_seeds DIR
#include <cstdio>
#include <filesystem>
#include <string>

#include "channels/psi/crc32.h"
#include "tests/support/packets.h"
#include "tests/support/sections.h"
#include "tools/tsgen/dvb_subtitle_encoder.h"
#include "tools/tsgen/teletext_encoder.h"

using namespace tstest;
namespace fs = std::filesystem;

namespace {

bool Write(const fs::path& dir, const std::string& target, int n, const Bytes& bytes)
{
    fs::create_directories(dir / target);
    const fs::path file = dir / target / ("seed-" + std::to_string(n));
    std::FILE* f = std::fopen(file.string().c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

EitEvent Event(std::uint8_t hour, const std::string& title, const std::string& text)
{
    EitEvent e{};
    e.eventId = hour;
    e.mjd = 60379;
    e.start[0] = hour;
    e.duration[0] = 0x01;
    e.duration[1] = 0x30;
    e.descriptors = Concat({ShortEventDescriptor(Text(title), Text(text)), Descriptor(0x54, {0x10, 0x00})});
    return e;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    const fs::path dir = argv[1];

    const Bytes sdt = Sdt(0x0004, 0x20FA, {Service(0x0401, "GR1", "France 5"), Service(0x0402, "", "M6"),
                                          Service(0x0403, "Canal+", std::string(40, 'c'))});
    const Bytes pat = Pat(0x0004, {{0, 0x10}, {0x0401, 0x0100}, {0x0402, 0x0200}, {0x0403, 0x0300}});
    const Bytes pmt = Pmt(0x0401, 0x0078,
                          {{0x02, 0x0078, Descriptor(0x52, {0x01})},
                           {0x04, 0x0082, Descriptor(0x0A, Text("fra"))},
                           {0x03, 0x0083, {}},
                           {0x06, 0x0086, Concat({Descriptor(0x0A, Text("fra")), Ac3Descriptor()})}},
                          Descriptor(0x09, {0x01, 0x00, 0xE1, 0x00}));
    const Bytes nit = Nit(0x20FA,
                          {{0x0004, 0x20FA, LogicalChannelDescriptor({{0x0401, 5}, {0x0402, 6}, {0x0403, 4}})},
                           {0x0006, 0x20FA, Concat({Descriptor(0x41, {0x06, 0x01, 0x01}),
                                                    LogicalChannelDescriptor({{0x0601, 8}})})}},
                          Descriptor(0x40, Text("F")));
    const Bytes eit = Eit(0x0401, {Event(0x20, "Journal", "Les titres"), Event(0x21, "Film", std::string(120, 'f'))});
    const Bytes eitOther = Eit(0x0601, {Event(0x23, "Nuit", "")}, 0x4F);

    bool ok = Write(dir, "sdt_fuzz", 0, sdt) && Write(dir, "pat_fuzz", 0, pat) && Write(dir, "pmt_fuzz", 0, pmt) &&
              Write(dir, "nit_fuzz", 0, nit) && Write(dir, "eit_fuzz", 0, eit) && Write(dir, "eit_fuzz", 1, eitOther);

    // The schedule's descriptors and the clock tables.
    EitEvent rich = Event(0x22, "Film", "Court");
    rich.descriptors = Concat({rich.descriptors, Descriptor(0x4E, Concat({{0x01}, Text("fre"), {0x00, 0x04}, Text("\x15" "Long")})),
                               Descriptor(0x54, {0x10, 0x00}), Descriptor(0x55, Text("FRA\x09")),
                               Descriptor(0x50, {0xF5, 0x0B, 0x00, 'f', 'r', 'e'})});
    const Bytes schedule = Eit(0x0401, {rich}, 0x50);
    const Bytes tot = Concat({{0x73, 0x70, 0x1A, 0xC0, 0x79, 0x12, 0x45, 0x00, 0xF0, 0x0F, 0x58, 0x0D},
                              Text("FRA"), {0x02, 0x01, 0x00, 0xC0, 0xE3, 0x01, 0x00, 0x00, 0x02, 0x00}});
    Bytes totWithCrc = tot;
    const std::uint32_t totCrc = Crc32Mpeg(tot.data(), tot.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        totWithCrc.push_back(static_cast<std::uint8_t>(totCrc >> shift));
    ok = ok && Write(dir, "eit_schedule_fuzz", 0, schedule) && Write(dir, "eit_schedule_fuzz", 1, eit) &&
         Write(dir, "time_table_fuzz", 0, totWithCrc) &&
         Write(dir, "time_table_fuzz", 1, ShortSection(0x70, {0xC0, 0x79, 0x12, 0x45, 0x00}));

    unsigned counter = 0;
    ok = ok && Write(dir, "section_assembler_fuzz", 0, Packetize(0x0011, {sdt, sdt}, counter));
    ok = ok && Write(dir, "section_assembler_fuzz", 1, Packetize(0x0012, {eit, eitOther, eit}, counter));
    ok = ok && Write(dir, "section_assembler_fuzz", 2,
                     Packetize(0x0014, {ShortSection(0x70, {0xC0, 0x79, 0x12, 0x45, 0x00})}, counter));
    // The tap: a seed for the sample sizes, then packets behind a stray tail.
    ok = ok && Write(dir, "packet_tap_fuzz", 0,
                     Concat({Bytes{0x34, 0x12}, Bytes(61, 0x47), Packetize(0x0012, {eit, eitOther, eit}, counter)}));
    // Names and titles in the character tables of French broadcasts.
    ok = ok && Write(dir, "dvb_text_fuzz", 0, Text("T\xC2" "el\xC2" "evision \xC3" "a la carte \xFA\xA4"));
    ok = ok && Write(dir, "dvb_text_fuzz", 1, Text("\x15" "Cha\xC3\xAEne B \xF0\x9F\x93\xBA"));
    ok = ok && Write(dir, "dvb_text_fuzz", 2, Text("\x0B" "Prix \xA4\x86 \xBD" "uvre\x87\x8A"));
    ok = ok && Write(dir, "dvb_text_fuzz", 3, Bytes{0x11, 0x00, 0x43, 0xE0, 0x8A, 0x00, 0xE9, 0xD8, 0x3D, 0xDC, 0xFA});
    ok = ok && Write(dir, "dvb_text_fuzz", 4, Bytes{0x10, 0x00, 0x0F, 0xA4, 0x1F, 0x01, 'x'});
    // Subtitle display sets, each with its 16-bit length before it.
    tsgen::SubtitleDisplaySet set;
    set.clut = {{1, 0xFFFFFF00}, {2, 0xFF000000}, {3, 0x80FF0000}};
    set.regions = {{1, 60, 480, 600, 40, 4, 2}, {2, 60, 530, 200, 20, 2, 0}};
    tsgen::SubtitleObject text{1, 1, 10, 5, 4, {}};
    tsgen::SubtitleObject mark{2, 2, 0, 0, 2, {}};
    for (unsigned line = 0; line < 12; ++line) {
        text.lines.push_back(std::vector<std::uint8_t>(300 + line, static_cast<std::uint8_t>(line % 3 + 1)));
        mark.lines.push_back(std::vector<std::uint8_t>(40, static_cast<std::uint8_t>(line % 4)));
    }
    set.objects = {text, mark};
    Bytes framed;
    for (const Bytes& pes : {tsgen::EncodeDisplaySet(set), tsgen::EncodeClearingSet(1, 1)}) {
        Put16(framed, static_cast<unsigned>(pes.size()));
        Append(framed, pes);
    }
    ok = ok && Write(dir, "dvb_subtitle_fuzz", 0, framed);

    tsgen::TeletextPageSpec page;
    page.rows = {tsgen::BoxedRow(20, 3, "Bonjour @ tous"), tsgen::BoxedRow(22, 7, "\x1D\x04Fin")};
    tsgen::TeletextPageSpec other = page;
    other.page = 0x801;
    other.nationalOption = 0;
    framed.clear();
    for (const Bytes& pes : {tsgen::EncodeTeletextPage(page), tsgen::EncodeTeletextPage(other)}) {
        Put16(framed, static_cast<unsigned>(pes.size()));
        Append(framed, pes);
    }
    ok = ok && Write(dir, "teletext_subtitle_fuzz", 0, framed);

    // Recordings: a clock that wraps, and one that jumps after a stray tail.
    ok = ok && Write(dir, "pcr_index_fuzz", 0, PcrStream(0x0100, 40, 3, 1'080'000, kPcrModulus - 20 * 1'080'000));
    ok = ok && Write(dir, "pcr_index_fuzz", 1,
                     Concat({Bytes(30, 0x47), PcrStream(0x0100, 20, 2, 1'080'000), PcrStream(0x0100, 20, 2, 1'080'000, 1ull << 38)}));
    if (!ok) {
        std::fprintf(stderr, "make_seeds: cannot write into %s\n", dir.string().c_str());
        return 1;
    }
    return 0;
}
