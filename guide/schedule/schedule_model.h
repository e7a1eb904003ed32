#pragma once
// The schedule as received: per service, the events of every EIT section last
// heard, by table and section number.
//
// A section heard again with the version already held changes nothing; with
// another version it replaces the events that section carried, and only those
// (the other sections of the table keep theirs until their own new version
// arrives: dropping them first would empty the guide for a whole repetition
// cycle). Events seen through several sections (present/following and schedule,
// or two versions in flight) are merged: the most recently heard section wins
// an overlap, and the same event_id is kept once.
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "guide/schedule/eit_schedule_parser.h"
#include "guide/schedule/schedule_event.h"

class ScheduleModel {
public:
    // True when the service's events changed. Sections of new services beyond
    // a few thousand are ignored.
    bool Apply(const EitSection& section);

    // The service's events, by start, without overlap.
    std::vector<ScheduleEvent> Events(const ServiceKey& service) const;

    std::vector<ServiceKey> Services() const;

    // The stretch of time [from, to) the schedule segment of section
    // `sectionNumber` of table `tableId` covers, when the model holds every
    // section of that segment in one version: then the service's events that
    // start in it are exactly those the model holds. A schedule table is cut
    // into segments of three hours from midnight UTC, eight sections each, and an
    // event goes into the segment its start falls in. None for present/following
    // tables, a segment not yet whole, or a table whose events give no time.
    std::optional<std::pair<std::int64_t, std::int64_t>> WholeSegment(const ServiceKey& service, std::uint8_t tableId,
                                                                      std::uint8_t sectionNumber) const;

    // Forgets the events that ended before `now` - 1 hour; returns how many.
    std::size_t Purge(std::int64_t now);

private:
    struct HeldSection {
        std::uint8_t version = 0;
        std::uint8_t segmentLast = 0;  // segment_last_section_number
        std::uint64_t heard = 0;  // order of arrival
        std::vector<ScheduleEvent> events;
    };
    // (table_id << 8 | section_number) -> section
    using ServiceSections = std::map<std::uint16_t, HeldSection>;

    std::map<ServiceKey, ServiceSections> services_;
    std::uint64_t arrivals_ = 0;
};
