// Any bytes as an EIT section of the schedule: the parser, the model that merges
// sections and the decoding of every text stay inside the bytes and keep their
// promises (no event of no duration or longer than a day, none overlapping).
#include <algorithm>
#include <limits>
#include <vector>

#include "channels/psi/crc32.h"
#include "guide/schedule/eit_schedule_parser.h"
#include "guide/schedule/event_texts.h"
#include "guide/schedule/schedule_model.h"

namespace {

// Random bytes almost never carry a right CRC_32, and the parser stops there:
// it is set right first, so that the fuzzer reaches the descriptors (wrong CRCs
// are the unit tests' business).
std::vector<std::uint8_t> WithRightCrc(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> s(data, data + size);
    if (s.size() < 3)
        return s;
    const std::size_t total = std::min<std::size_t>(s.size(), 3u + ((s[1] & 0x0Fu) << 8 | s[2]));
    if (total < 8)
        return s;
    const std::uint32_t crc = Crc32Mpeg(s.data(), total - 4);
    for (int i = 0; i < 4; ++i)
        s[total - 4 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    return s;
}

}  // namespace

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
    model.Purge(section.events.empty() ? 0 : section.events.front().start);
    return 0;
}
