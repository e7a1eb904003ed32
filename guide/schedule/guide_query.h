#pragma once
// What the guide's window and the timers read of the schedule, wherever it is
// kept: in guide.db, or in memory when that file cannot be used. Every member is
// safe to call from any thread while the reader adds events.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "guide/schedule/guide_entry.h"

class GuideQuery {
public:
    virtual ~GuideQuery() = default;

    // Every service the guide has heard of, with its decoded name.
    virtual std::vector<GuideService> Services() const = 0;
    // The first start and the last stop held; {0, 0} when no event is.
    virtual std::pair<std::int64_t, std::int64_t> Span() const = 0;
    // The events of one service that end after `from` and start before `to`, by
    // start.
    virtual std::vector<GuideEntry> Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const = 0;
    // Every event, by service then start (the XMLTV export).
    virtual std::vector<GuideEntry> AllEvents() const = 0;
    // Events not yet ended at `now` whose title or description hold every word
    // of `words` (as the start of a word, case and accents aside), soonest first.
    virtual std::vector<GuideEntry> Search(const std::string& words, std::int64_t now, int limit) const = 0;
};
