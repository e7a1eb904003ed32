#pragma once
// guide.db shared by the threads of the program: the store's writer thread and
// the windows that read it. One connection, its statements used under one lock:
// SQLite's own serialisation covers the connection, not the prepared statements
// the store keeps between calls.
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

#include "guide/schedule/guide_query.h"
#include "guide/schedule/guide_store.h"

class SharedGuideStore final : public GuideQuery {
public:
    StoreOpenStatus Open(const std::filesystem::path& file);
    bool IsOpen() const;
    void Close();
    std::string message() const;

    bool Write(const GuideBatch& batch);
    int Purge(std::int64_t now);
    bool WriteClockDifference(std::int64_t seconds);
    std::optional<std::int64_t> ClockDifference() const;

    std::vector<GuideService> Services() const override;
    std::pair<std::int64_t, std::int64_t> Span() const override;
    std::vector<GuideEntry> Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const override;
    std::vector<GuideEntry> AllEvents() const override;
    std::vector<GuideEntry> Search(const std::string& words, std::int64_t now, int limit) const override;

private:
    mutable std::mutex lock_;
    GuideStore store_;
};
