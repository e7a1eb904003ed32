#pragma once
// The guide's store, guide.db: services and events in SQLite, with a full-text
// index over titles and descriptions for the search.
//
// Opening never leaves the caller without a guide: a file SQLite cannot read as
// a database is moved aside as "<name>.illisible" and a new one made; a folder
// or file that cannot be written, a full disk or a file another process keeps
// locked is reported (with a French message) so that the caller keeps its guide
// in memory instead. No thread and no platform call here: the caller decides
// where writes run.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "guide/schedule/guide_entry.h"

struct sqlite3;

enum class StoreOpenStatus {
    Opened,
    Recreated,    // the old file was unreadable, kept as <name>.illisible
    Unavailable,  // nothing opened; message() says why
};

// A stretch of one service's schedule that the batch gives whole: the events of
// that service starting in [from, to) that the batch does not hold are gone (a
// newer version of the schedule dropped them).
struct GuideSpan {
    ServiceKey service;
    std::int64_t from = 0;
    std::int64_t to = 0;
    friend bool operator==(const GuideSpan&, const GuideSpan&) = default;
};

// What one transaction writes. Each service's events replace those stored for
// it that overlap them (a newer version of the schedule moves or renames them);
// an event stored exactly as it comes again is left as it is.
struct GuideBatch {
    std::vector<GuideService> services;
    std::vector<GuideEntry> events;
    std::vector<GuideSpan> spans = {};
};

class GuideStore {
public:
    GuideStore();
    ~GuideStore();
    GuideStore(const GuideStore&) = delete;
    GuideStore& operator=(const GuideStore&) = delete;

    StoreOpenStatus Open(const std::filesystem::path& file);
    bool IsOpen() const { return db_ != nullptr; }
    void Close();

    // The last failure, in French for the user; empty when all went well.
    const std::string& message() const { return message_; }

    // One transaction; false (nothing written, message() set) on failure.
    bool Write(const GuideBatch& batch);

    // Removes the events that ended before `now` - 1 hour; -1 on failure.
    int Purge(std::int64_t now);

    // The broadcast's clock minus the PC's, seconds, kept for the next start
    // (its purge goes by the broadcast's time). One transaction; false on failure.
    bool WriteClockDifference(std::int64_t seconds);
    std::optional<std::int64_t> ClockDifference() const;

    std::vector<GuideService> Services() const;
    // The first start and the last stop held; {0, 0} when no event is.
    std::pair<std::int64_t, std::int64_t> Span() const;
    // Every event, by service then start.
    std::vector<GuideEntry> Events() const;
    // The events of one service that end after `from` and start before `to`.
    std::vector<GuideEntry> Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const;

    // Events not yet ended at `now` whose title or description hold every word
    // of `words` (as the start of a word, case and accents aside), soonest first.
    std::vector<GuideEntry> Search(const std::string& words, std::int64_t now, int limit = 200) const;

private:
    bool Exec(const char* sql);
    bool Prepare();
    bool WriteEvents(const GuideBatch& batch);
    void Fail(const char* what);

    sqlite3* db_ = nullptr;
    std::string message_;
    struct Statements;
    std::unique_ptr<Statements> st_;
};

// The FTS5 query for a user's words: each word quoted (so that no character of
// it is query syntax) and matched as a prefix, all of them required. Empty when
// the text holds no word.
std::string SearchQuery(const std::string& words);
