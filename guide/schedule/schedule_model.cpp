#include "guide/schedule/schedule_model.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace {

constexpr std::int64_t kKeptAfterEnd = 3600;
// Far more services than any set of multiplexes carries: beyond it, sections of
// new services are damaged or forged ones, and must not grow the model forever.
constexpr std::size_t kMaxServices = 4096;

}  // namespace

bool ScheduleModel::Apply(const EitSection& section)
{
    const auto slot = static_cast<std::uint16_t>(section.tableId << 8 | section.sectionNumber);
    if (services_.size() >= kMaxServices && !services_.count(section.service))
        return false;
    ServiceSections& sections = services_[section.service];
    auto it = sections.find(slot);
    if (it != sections.end() && it->second.version == section.version)
        return false;
    HeldSection& held = sections[slot];
    held.version = section.version;
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
    std::set<std::uint16_t> ids;
    for (const HeldSection* held : newestFirst) {
        for (const ScheduleEvent& e : held->events) {
            if (ids.count(e.eventId))
                continue;
            auto next = taken.lower_bound(e.start);
            if (next != taken.end() && next->first < e.end())
                continue;
            if (next != taken.begin() && std::prev(next)->second > e.start)
                continue;
            taken.emplace(e.start, e.end());
            ids.insert(e.eventId);
            result.push_back(e);
        }
    }
    std::sort(result.begin(), result.end(),
              [](const ScheduleEvent& a, const ScheduleEvent& b) { return a.start < b.start; });
    return result;
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
