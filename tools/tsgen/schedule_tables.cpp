#include "tools/tsgen/schedule_tables.h"

#include <map>
#include <stdexcept>

#include "tools/tsgen/byte_writer.h"
#include "tools/tsgen/utc_time.h"

namespace tsgen {
namespace {

constexpr std::size_t kMaxEitSection = 4096;
constexpr std::size_t kEventBytesPerSection = 1024;
constexpr std::int64_t kSegmentSeconds = 3 * 3600;
constexpr int kSegmentsPerTable = 32;
constexpr int kSectionsPerSegment = 8;
constexpr int kTablesPerDirection = 16;
constexpr unsigned kNotRunning = 1;
// Room for the text in one extended descriptor: 255 less the numbers, the
// language, the (empty) items' length and the text's length.
constexpr std::size_t kExtendedTextRoom = 255 - 1 - 3 - 1 - 1;

// The selector bytes at the start of a text in the tables tsgen writes.
std::size_t SelectorLength(const std::string& text)
{
    if (text.empty())
        return 0;
    const auto first = static_cast<std::uint8_t>(text[0]);
    return first < 0x20 ? (first == 0x10 ? 3 : first == 0x1F ? 2 : 1) : 0;
}

// Cuts the text into pieces that each fit one descriptor, each with the
// selector again, never inside a UTF-8 sequence nor between an ISO 6937
// diacritic and its letter.
std::vector<std::string> CutText(const std::string& text)
{
    const std::size_t sel = SelectorLength(text);
    const std::string selector = text.substr(0, sel);
    const std::size_t room = kExtendedTextRoom - sel;
    std::vector<std::string> pieces;
    std::size_t at = sel;
    while (at < text.size()) {
        std::size_t end = std::min(text.size(), at + room);
        while (end < text.size() && end > at + 1) {
            const auto next = static_cast<std::uint8_t>(text[end]);
            const auto last = static_cast<std::uint8_t>(text[end - 1]);
            const bool utf8Continuation = selector == "\x15" && (next & 0xC0) == 0x80;
            const bool diacritic = sel == 0 && last >= 0xC1 && last <= 0xCF;
            if (!utf8Continuation && !diacritic)
                break;
            --end;
        }
        pieces.push_back(selector + text.substr(at, end - at));
        at = end;
    }
    return pieces;
}

void Component(ByteWriter& w, unsigned streamContent, unsigned componentType, const std::string& language)
{
    w.U8(0x50);
    const auto len = w.OpenLength8();
    w.U8(0xF0 | streamContent);  // stream_content_ext 0xF: reserved, as before its use
    w.U8(componentType);
    w.U8(0);  // component_tag
    w.Bytes(language);
    w.CloseLength8(len);
}

void WriteEvent(ByteWriter& w, const Event& e)
{
    w.U16(e.eventId);
    w.Bytes(EncodeEitStart(e.start));
    w.Bytes(EncodeEitDuration(e.duration));
    const auto loop = w.OpenLength12(kNotRunning << 1);
    w.Bytes(ScheduleEventDescriptors(e));
    w.CloseLength12(loop);
}

}  // namespace

std::vector<std::uint8_t> ScheduleEventDescriptors(const Event& e)
{
    ByteWriter w;
    w.U8(0x4D);
    auto len = w.OpenLength8();
    w.Bytes(e.language);
    w.U8(static_cast<unsigned>(e.title.size()));
    w.Bytes(e.title);
    w.U8(static_cast<unsigned>(e.text.size()));
    w.Bytes(e.text);
    w.CloseLength8(len);

    const auto pieces = CutText(e.longText);
    if (pieces.size() > 16)
        throw std::length_error("texte long de plus de seize descripteurs");
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        w.U8(0x4E);
        len = w.OpenLength8();
        w.U8(static_cast<unsigned>(i << 4 | (pieces.size() - 1)));
        w.Bytes(e.language);
        w.U8(0);  // no items
        w.U8(static_cast<unsigned>(pieces[i].size()));
        w.Bytes(pieces[i]);
        w.CloseLength8(len);
    }
    if (e.genre != 0) {
        w.U8(0x54);
        w.U8(2);
        w.U8(e.genre);
        w.U8(0);
    }
    if (e.minimumAge != 0) {
        w.U8(0x55);
        w.U8(4);
        w.Bytes(std::string("FRA"));
        w.U8(e.minimumAge - 3u);
    }
    if (e.hd)
        Component(w, 0x05, 0x0B, e.language);  // H.264 HD 16:9 25 Hz
    else if (e.wide)
        Component(w, 0x01, 0x03, e.language);  // MPEG-2 16:9 25 Hz
    if (e.audioDescription)
        Component(w, 0x02, 0x40, e.language);
    if (e.deafSubtitles)
        Component(w, 0x03, 0x20, e.language);
    return w.data();
}

std::vector<Section> BuildEitSchedule(std::uint8_t firstTableId, const Multiplex& mux, const Service& service,
                                      std::int64_t clock)
{
    const std::int64_t midnight = clock - ((clock % 86400) + 86400) % 86400;
    // (table, segment) -> the event bodies of each of its sections
    std::map<std::pair<int, int>, std::vector<std::vector<std::uint8_t>>> segments;
    for (const Event& e : service.events) {
        if (e.start + e.duration <= midnight)
            continue;
        const std::int64_t index = e.start < midnight ? 0 : (e.start - midnight) / kSegmentSeconds;
        if (index >= std::int64_t{kSegmentsPerTable} * kTablesPerDirection)
            continue;
        const std::pair<int, int> key{static_cast<int>(index / kSegmentsPerTable),
                                      static_cast<int>(index % kSegmentsPerTable)};
        ByteWriter event;
        WriteEvent(event, e);
        auto& sections = segments[key];
        if (sections.empty() || sections.back().size() + event.size() > kEventBytesPerSection)
            sections.emplace_back();
        sections.back().insert(sections.back().end(), event.data().begin(), event.data().end());
    }
    if (segments.empty())
        return {};

    const int lastTable = segments.rbegin()->first.first;
    std::map<int, int> lastSection;  // table -> last section number
    for (const auto& [key, sections] : segments) {
        if (sections.size() > kSectionsPerSegment)
            throw std::length_error("plus de huit sections dans un segment de trois heures");
        lastSection[key.first] = key.second * kSectionsPerSegment + static_cast<int>(sections.size()) - 1;
    }
    std::vector<Section> out;
    for (const auto& [key, sections] : segments) {
        const auto tableId = static_cast<std::uint8_t>(firstTableId + key.first);
        const int first = key.second * kSectionsPerSegment;
        for (std::size_t i = 0; i < sections.size(); ++i) {
            ByteWriter w;
            w.U16(mux.tsid);
            w.U16(mux.onid);
            w.U8(static_cast<unsigned>(first + static_cast<int>(sections.size()) - 1));  // segment_last_section_number
            w.U8(firstTableId + static_cast<unsigned>(lastTable));                       // last_table_id
            w.Bytes(sections[i]);
            out.push_back(FinishSection(tableId, true, service.sid, 0, static_cast<std::uint8_t>(first + i),
                                        static_cast<std::uint8_t>(lastSection[key.first]), w.data(),
                                        kMaxEitSection));
        }
    }
    return out;
}

}  // namespace tsgen
