#include "guide/schedule/schedule_collector.h"

#include <algorithm>

#include "guide/schedule/broadcast_clock.h"
#include "guide/schedule/event_texts.h"

ScheduleCollector::ScheduleCollector(std::size_t batchEvents, std::int64_t batchMilliseconds)
    : batchEvents_(batchEvents), batchMilliseconds_(batchMilliseconds)
{
}

void ScheduleCollector::NameService(const ServiceKey& service, std::string name)
{
    auto& held = names_[service];
    if (held == name)
        return;
    held = std::move(name);
    named_.erase(service);
}

bool ScheduleCollector::OnEitSection(const std::uint8_t* section, std::size_t length)
{
    EitSection parsed;
    if (ParseEitSection(section, length, parsed) != EitSectionStatus::Ok)
        return false;
    if (!model_.Apply(parsed))
        return false;
    changed_.insert(parsed.service);
    changedSections_[parsed.service].insert(static_cast<std::uint16_t>(parsed.tableId << 8 | parsed.sectionNumber));
    pendingEvents_ += parsed.events.size();
    return true;
}

bool ScheduleCollector::OnClockSection(const std::uint8_t* section, std::size_t length, std::int64_t pcNow)
{
    BroadcastTime time;
    if (ParseTimeSection(section, length, time) != ClockSectionStatus::Ok)
        return false;
    difference_ = time.utc - pcNow;
    return true;
}

std::optional<std::int64_t> ScheduleCollector::TakeClockChange()
{
    // The TDT reaches us a little late, and a recorded stream played in a loop
    // steps back by its length: only a real change of the PC's or the
    // broadcast's clock is worth a write.
    if (!difference_ || (taken_ && *difference_ - *taken_ <= 60 && *taken_ - *difference_ <= 60))
        return std::nullopt;
    taken_ = difference_;
    return difference_;
}

bool ScheduleCollector::BatchDue(std::int64_t nowMs) const
{
    if (!HasPending())
        return false;
    return pendingEvents_ >= batchEvents_ || nowMs - lastBatchMs_ >= batchMilliseconds_ || nowMs < lastBatchMs_;
}

GuideBatch ScheduleCollector::TakeBatch(std::int64_t nowMs)
{
    GuideBatch batch;
    lastBatchMs_ = nowMs;
    while (!changed_.empty() && batch.events.size() < batchEvents_) {
        const ServiceKey service = *changed_.begin();
        changed_.erase(changed_.begin());
        // The store replaces what these events overlap; a service with no event
        // left has nothing to write.
        for (const ScheduleEvent& event : model_.Events(service))
            batch.events.push_back(DecodeEvent(service, event));
        if (auto sections = changedSections_.find(service); sections != changedSections_.end()) {
            for (std::uint16_t slot : sections->second) {
                const auto span = model_.WholeSegment(service, static_cast<std::uint8_t>(slot >> 8),
                                                      static_cast<std::uint8_t>(slot & 0xFF));
                // The sections of one segment all give the same span.
                if (span && std::find(batch.spans.begin(), batch.spans.end(),
                                      GuideSpan{service, span->first, span->second}) == batch.spans.end())
                    batch.spans.push_back({service, span->first, span->second});
            }
            changedSections_.erase(sections);
        }
        if (auto name = names_.find(service); name != names_.end() && named_.insert(service).second)
            batch.services.push_back({service, name->second});
    }
    pendingEvents_ = changed_.empty() ? 0 : pendingEvents_ - std::min(pendingEvents_, batch.events.size());
    return batch;
}
