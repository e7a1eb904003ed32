#include "guide/schedule/schedule_model.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace {

constexpr std::int64_t kKeptAfterEnd = 3600;
// Far more services than any set of multiplexes carries: beyond it, sections of
// new services are damaged or forged ones, and must not grow the model forever.
constexpr std::size_t kMaxServices = 4096;
constexpr std::uint8_t kFirstScheduleTable = 0x50;
constexpr std::int64_t kSegmentSeconds = 3 * 3600;
constexpr int kSectionsPerSegment = 8;

std::uint16_t Slot(std::uint8_t tableId, std::uint8_t sectionNumber)
{
    return static_cast<std::uint16_t>(tableId << 8 | sectionNumber);
}

std::int64_t SegmentStartOf(std::int64_t t)
{
    return t - ((t % kSegmentSeconds) + kSegmentSeconds) % kSegmentSeconds;
}

// The present/following sections of many broadcasters (and of ours) carry the
// short event alone, while the schedule's copy of the same event has the long
// description, genre, rating and components: the newer copy keeps its own
// times and texts and takes what it lacks from the older one of the same start.
void FillFrom(ScheduleEvent& kept, const ScheduleEvent& older)
{
    if (older.start != kept.start)
        return;
    if (kept.items.empty() && kept.extendedText.empty()) {
        kept.items = older.items;
        kept.extendedText = older.extendedText;
    }
    if (kept.shortText.empty())
        kept.shortText = older.shortText;
    if (kept.content == 0)
        kept.content = older.content;
    if (kept.minimumAge == 0)
        kept.minimumAge = older.minimumAge;
    if (kept.flags == 0)
        kept.flags = older.flags;
}

}  // namespace

bool ScheduleModel::Apply(const EitSection& section)
{
    const auto slot = Slot(section.tableId, section.sectionNumber);
    if (services_.size() >= kMaxServices && !services_.count(section.service))
        return false;
    ServiceSections& sections = services_[section.service];
    auto it = sections.find(slot);
    if (it != sections.end() && it->second.version == section.version)
        return false;
    HeldSection& held = sections[slot];
    held.version = section.version;
    held.segmentLast = section.segmentLastSectionNumber;
    held.heard = ++arrivals_;
    held.events = section.events;
    return true;
}

std::vector<ScheduleEvent> ScheduleModel::Events(const ServiceKey& service) const
{
    std::vector<ScheduleEvent> result;
    auto found = services_.find(service);
    if (found == services_.end())
        return result;

    std::vector<const HeldSection*> newestFirst;
    for (const auto& [slot, held] : found->second)
        newestFirst.push_back(&held);
    std::sort(newestFirst.begin(), newestFirst.end(),
              [](const HeldSection* a, const HeldSection* b) { return a->heard > b->heard; });

    std::map<std::int64_t, std::int64_t> taken;  // start -> end of the events kept
    std::map<std::uint16_t, std::size_t> ids;     // event_id -> place in result
    for (const HeldSection* held : newestFirst) {
        for (const ScheduleEvent& e : held->events) {
            if (auto same = ids.find(e.eventId); same != ids.end()) {
                FillFrom(result[same->second], e);
                continue;
            }
            auto next = taken.lower_bound(e.start);
            if (next != taken.end() && next->first < e.end())
                continue;
            if (next != taken.begin() && std::prev(next)->second > e.start)
                continue;
            taken.emplace(e.start, e.end());
            ids.emplace(e.eventId, result.size());
            result.push_back(e);
        }
    }
    std::sort(result.begin(), result.end(),
              [](const ScheduleEvent& a, const ScheduleEvent& b) { return a.start < b.start; });
    return result;
}

std::optional<std::pair<std::int64_t, std::int64_t>> ScheduleModel::WholeSegment(const ServiceKey& service,
                                                                                 std::uint8_t tableId,
                                                                                 std::uint8_t sectionNumber) const
{
    const auto found = services_.find(service);
    if (tableId < kFirstScheduleTable || found == services_.end())
        return std::nullopt;
    const ServiceSections& sections = found->second;
    const auto own = sections.find(Slot(tableId, sectionNumber));
    if (own == sections.end())
        return std::nullopt;
    const std::uint8_t version = own->second.version;
    const int first = sectionNumber / kSectionsPerSegment * kSectionsPerSegment;
    const int last = std::clamp<int>(own->second.segmentLast, first, first + kSectionsPerSegment - 1);

    std::optional<std::int64_t> start;
    for (int n = first; n <= last; ++n) {
        const auto held = sections.find(Slot(tableId, static_cast<std::uint8_t>(n)));
        if (held == sections.end() || held->second.version != version)
            return std::nullopt;
        if (!start && !held->second.events.empty())
            start = SegmentStartOf(held->second.events.front().start);
    }
    // An empty segment (every event of it cancelled, or a past part of today)
    // takes its place from another segment of the same table and version: the
    // segments of one table follow each other three hours apart.
    for (auto it = sections.lower_bound(Slot(tableId, 0)); !start && it != sections.end() && it->first >> 8 == tableId;
         ++it) {
        if (it->second.version != version || it->second.events.empty())
            continue;
        const int segmentsAfter = first / kSectionsPerSegment - (it->first & 0xFF) / kSectionsPerSegment;
        start = SegmentStartOf(it->second.events.front().start) + segmentsAfter * kSegmentSeconds;
    }
    if (!start)
        return std::nullopt;
    return std::pair{*start, *start + kSegmentSeconds};
}

std::vector<ServiceKey> ScheduleModel::Services() const
{
    std::vector<ServiceKey> keys;
    for (const auto& [key, sections] : services_)
        keys.push_back(key);
    return keys;
}

std::size_t ScheduleModel::Purge(std::int64_t now)
{
    std::size_t purged = 0;
    for (auto& [key, sections] : services_)
        for (auto& [slot, held] : sections)
            purged += std::erase_if(held.events, [now](const ScheduleEvent& e) { return e.end() < now - kKeptAfterEnd; });
    return purged;
}
