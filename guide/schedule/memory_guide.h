#pragma once
// The guide kept in memory, for when guide.db cannot be opened or written: the
// same answers as the store, from the events the reader decoded in this session.
// Safe to call from any thread.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "guide/schedule/guide_query.h"
#include "guide/schedule/guide_store.h"

class MemoryGuide final : public GuideQuery {
public:
    // Each service of the batch's events gets those events, replacing what it
    // held: a batch carries whole services.
    void Apply(const GuideBatch& batch);
    // Forgets the events that ended before `now` - 1 hour.
    void Purge(std::int64_t now);

    std::vector<GuideService> Services() const override;
    std::pair<std::int64_t, std::int64_t> Span() const override;
    std::vector<GuideEntry> Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const override;
    std::vector<GuideEntry> AllEvents() const override;
    std::vector<GuideEntry> Search(const std::string& words, std::int64_t now, int limit) const override;

private:
    struct Held {
        GuideEntry entry;
        std::vector<std::string> words;  // of the title, subtitle and description
    };
    mutable std::mutex lock_;
    std::map<ServiceKey, std::string> names_;
    std::map<ServiceKey, std::vector<Held>> events_;  // by start
};
