#pragma once
// What the schedule reader's thread does with the sections it takes, apart from
// the thread: EIT sections (present/following and schedule) into the model,
// TDT/TOT into the broadcast clock, and the services whose events changed into
// batches for the store, decoded.
//
// Memory stays bounded under a flood of sections: the model holds one copy per
// section slot, and what waits for the store is only the set of changed
// services, decoded when a batch is taken.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "guide/schedule/guide_store.h"
#include "guide/schedule/schedule_model.h"

class ScheduleCollector {
public:
    // A batch closes after the service that brings it to `batchEvents` events, or
    // when `batchMilliseconds` have passed since the last one, whichever comes
    // first.
    explicit ScheduleCollector(std::size_t batchEvents = 500, std::int64_t batchMilliseconds = 1000);

    // The name a service is shown with (UTF-8), from the channel list.
    void NameService(const ServiceKey& service, std::string name);

    // An EIT section as taken from PID 0x12; true when it changed the schedule.
    bool OnEitSection(const std::uint8_t* section, std::size_t length);

    // A TDT or TOT as taken from PID 0x14, while the PC's clock read `pcNow` (UTC
    // seconds); true when it was read.
    bool OnClockSection(const std::uint8_t* section, std::size_t length, std::int64_t pcNow);
    // The broadcast's time minus the PC's, in seconds, from the latest TDT/TOT.
    std::optional<std::int64_t> ClockDifference() const { return difference_; }
    // The broadcast's time when the PC's clock reads `pcNow`: the PC's own when no
    // TDT/TOT has come yet.
    std::int64_t BroadcastNow(std::int64_t pcNow) const { return pcNow + difference_.value_or(0); }

    // The clock difference when it moved by more than a minute since last taken
    // (what the store keeps for the next start's purge); none otherwise.
    std::optional<std::int64_t> TakeClockChange();

    // True when a batch should be taken now (PC clock in milliseconds).
    bool BatchDue(std::int64_t nowMs) const;
    // The changed services' events, whole services, decoded and named, with the
    // schedule segments the changed sections complete as spans the store takes
    // whole (what a newer version dropped goes); marks the batch taken at
    // `nowMs`. Services left over wait for the next batch.
    GuideBatch TakeBatch(std::int64_t nowMs);
    bool HasPending() const { return !changed_.empty(); }

    // Forgets what ended more than an hour before `now` (broadcast time).
    std::size_t Purge(std::int64_t now) { return model_.Purge(now); }

    const ScheduleModel& Model() const { return model_; }

private:
    ScheduleModel model_;
    std::map<ServiceKey, std::string> names_;
    std::set<ServiceKey> changed_;
    // Per changed service, the sections (table_id << 8 | section_number) heard anew.
    std::map<ServiceKey, std::set<std::uint16_t>> changedSections_;
    std::size_t pendingEvents_ = 0;  // events of the changed sections, an estimate
    std::set<ServiceKey> named_;     // services whose name the store has
    std::optional<std::int64_t> difference_;
    std::optional<std::int64_t> taken_;  // the difference last taken for the store
    std::size_t batchEvents_;
    std::int64_t batchMilliseconds_;
    std::int64_t lastBatchMs_ = 0;
};
