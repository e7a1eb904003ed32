// Any bytes as an EIT section of the schedule: the parser, the model that merges
// sections and the decoding of every text stay inside the bytes and keep their
// promises (no event of no duration or longer than a day, none overlapping; a
// whole segment three hours long).
#include <algorithm>
#include <limits>
#include <vector>

#include "fuzz/section_with_crc.h"
#include "guide/schedule/eit_schedule_parser.h"
#include "guide/schedule/event_texts.h"
#include "guide/schedule/schedule_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t length)
{
    const std::vector<std::uint8_t> fixed = WithRightCrc(bytes, length);
    const std::uint8_t* data = fixed.data();
    const std::size_t size = fixed.size();
    EitSection section;
    if (ParseEitSection(data, size, section) != EitSectionStatus::Ok)
        return 0;
    ScheduleModel model;
    model.Apply(section);
    section.tableId = section.tableId == 0x4E ? 0x50 : 0x4E;  // the same events heard again elsewhere
    model.Apply(section);
    std::int64_t lastEnd = std::numeric_limits<std::int64_t>::min();
    for (const ScheduleEvent& e : model.Events(section.service)) {
        if (e.duration <= 0 || e.duration > 86400 || e.start < lastEnd)
            __builtin_trap();
        lastEnd = e.end();
        const GuideEntry g = DecodeEvent(section.service, e);
        if (g.title.size() > 4 * e.title.size() || g.stop <= g.start)
            __builtin_trap();
    }
    // The stretch a whole segment covers is three hours, whatever the times.
    for (std::uint8_t table : {section.tableId, std::uint8_t{0x50}})
        if (const auto span = model.WholeSegment(section.service, table, section.sectionNumber);
            span && span->second - span->first != 3 * 3600)
            __builtin_trap();
    model.Purge(section.events.empty() ? 0 : section.events.front().start);
    return 0;
}
