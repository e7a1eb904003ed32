// The store's writes: a batch of events in one transaction, and the purge.
//
// The full-text index is fed once per transaction, not row by row: FTS5 writes
// what it holds in memory to the file at every statement savepoint, and each
// DELETE on `events` opens one (foreign keys make it a multi-row write), so an
// index kept in step by triggers wrote a segment per event and spent most of a
// batch merging them. Rows are written with ids above every earlier one, so that
// the index takes the new rows in one INSERT ... SELECT at the end.
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include "guide/schedule/event_texts.h"
#include "guide/schedule/guide_store.h"
#include "guide/schedule/store_statement.h"

namespace {

constexpr std::int64_t kKeptAfterEnd = 3600;

// A row taken out of `events` in this transaction that the index holds, with
// the texts it needs to forget it (the row itself is gone by then).
struct Unindexed {
    std::int64_t id = 0;
    std::string title, subtitle, description;
};

// Columns as the store's kStoredColumns lists them.
enum StoredColumn { kId, kEventId, kStart, kStop, kTitle, kSubtitle, kDescription, kContent, kRating, kFlags };

bool SameEvent(sqlite3_stmt* row, const GuideEntry& e)
{
    return sqlite3_column_int(row, kEventId) == e.eventId && sqlite3_column_int64(row, kStart) == e.start &&
           sqlite3_column_int64(row, kStop) == e.stop && sqlite3_column_int(row, kContent) == e.content &&
           sqlite3_column_int(row, kRating) == e.minimumAge && sqlite3_column_int(row, kFlags) == e.flags &&
           TextView(row, kTitle) == e.title && TextView(row, kSubtitle) == e.subtitle &&
           TextView(row, kDescription) == e.description;
}

}  // namespace

bool GuideStore::Write(const GuideBatch& batch)
{
    if (!db_)
        return false;
    if (st_->begin.Run() != SQLITE_DONE) {
        Fail("begin");
        return false;
    }
    if (WriteEvents(batch) && st_->commit.Run() == SQLITE_DONE)
        return true;
    Fail("write");
    st_->rollback.Run();
    return false;
}

bool GuideStore::WriteEvents(const GuideBatch& batch)
{
    Statements& s = *st_;
    for (const GuideService& service : batch.services) {
        s.upsertService.Bind(1, service.key.onid);
        s.upsertService.Bind(2, service.key.tsid);
        s.upsertService.Bind(3, service.key.sid);
        s.upsertService.Bind(4, service.name);
        if (s.upsertService.Run() != SQLITE_DONE)
            return false;
    }

    std::map<ServiceKey, std::int64_t> ids;
    auto serviceId = [&](const ServiceKey& k) -> std::int64_t {
        if (auto found = ids.find(k); found != ids.end())
            return found->second;
        s.ensureService.Bind(1, k.onid);
        s.ensureService.Bind(2, k.tsid);
        s.ensureService.Bind(3, k.sid);
        if (s.ensureService.Run() != SQLITE_DONE)
            return -1;
        s.serviceId.Bind(1, k.onid);
        s.serviceId.Bind(2, k.tsid);
        s.serviceId.Bind(3, k.sid);
        std::int64_t id = -1;
        if (sqlite3_step(s.serviceId.get()) == SQLITE_ROW)
            id = sqlite3_column_int64(s.serviceId.get(), 0);
        sqlite3_reset(s.serviceId.get());
        ids.emplace(k, id);
        return id;
    };

    std::int64_t lastId = 0;
    if (sqlite3_step(s.lastId.get()) == SQLITE_ROW)
        lastId = sqlite3_column_int64(s.lastId.get(), 0);
    if (sqlite3_reset(s.lastId.get()) != SQLITE_OK)
        return false;
    const std::int64_t firstNew = lastId + 1;
    std::vector<Unindexed> unindexed;

    // Removes the rows `query` yields that `keep` turns down; rows are removed
    // once the query is done with the table.
    auto removeRows = [&](const Statement& query, auto&& keep) -> bool {
        std::vector<std::int64_t> gone;
        int rc;
        sqlite3_stmt* row = query.get();
        while ((rc = sqlite3_step(row)) == SQLITE_ROW) {
            if (keep(row))
                continue;
            const std::int64_t id = sqlite3_column_int64(row, kId);
            gone.push_back(id);
            if (id < firstNew)
                unindexed.push_back({id, std::string(TextView(row, kTitle)), std::string(TextView(row, kSubtitle)),
                                     std::string(TextView(row, kDescription))});
        }
        sqlite3_reset(row);
        if (rc != SQLITE_DONE)
            return false;
        for (std::int64_t id : gone) {
            s.removeEvent.Bind(1, id);
            if (s.removeEvent.Run() != SQLITE_DONE)
                return false;
        }
        return true;
    };

    // What a newer version dropped: the stretches the batch gives whole lose the
    // events it does not hold.
    std::set<std::tuple<ServiceKey, std::int64_t, int>> held;
    if (!batch.spans.empty())
        for (const GuideEntry& e : batch.events)
            held.emplace(e.service, e.start, e.eventId);
    for (const GuideSpan& span : batch.spans) {
        const std::int64_t id = serviceId(span.service);
        if (id < 0)
            return false;
        s.inSpan.Bind(1, id);
        s.inSpan.Bind(2, span.from);
        s.inSpan.Bind(3, span.to);
        const bool ok = removeRows(s.inSpan, [&](sqlite3_stmt* row) {
            return held.count({span.service, sqlite3_column_int64(row, kStart), sqlite3_column_int(row, kEventId)}) > 0;
        });
        if (!ok)
            return false;
    }

    for (const GuideEntry& e : batch.events) {
        const std::int64_t id = serviceId(e.service);
        if (id < 0)
            return false;
        // A service's whole schedule comes again with each change of it: what
        // is stored as it comes stays, untouched, and only what changed is
        // written and indexed again.
        bool unchanged = false;
        s.overlapping.Bind(1, id);
        s.overlapping.Bind(2, e.start);
        s.overlapping.Bind(3, e.stop);
        const bool ok = removeRows(s.overlapping, [&](sqlite3_stmt* row) {
            if (unchanged || !SameEvent(row, e))
                return false;
            unchanged = true;
            return true;
        });
        if (!ok)
            return false;
        if (unchanged)
            continue;
        const std::string genre = FrenchGenre(e.content);
        s.insertEvent.Bind(1, ++lastId);
        s.insertEvent.Bind(2, id);
        s.insertEvent.Bind(3, e.eventId);
        s.insertEvent.Bind(4, e.start);
        s.insertEvent.Bind(5, e.stop);
        s.insertEvent.Bind(6, e.title);
        s.insertEvent.Bind(7, e.subtitle);
        s.insertEvent.Bind(8, e.description);
        s.insertEvent.Bind(9, e.content);
        s.insertEvent.Bind(10, genre);
        s.insertEvent.Bind(11, e.minimumAge);
        s.insertEvent.Bind(12, e.flags);
        if (s.insertEvent.Run() != SQLITE_DONE)
            return false;
    }

    for (const Unindexed& u : unindexed) {
        s.unindex.Bind(1, u.id);
        s.unindex.Bind(2, u.title);
        s.unindex.Bind(3, u.subtitle);
        s.unindex.Bind(4, u.description);
        if (s.unindex.Run() != SQLITE_DONE)
            return false;
    }
    if (lastId >= firstNew) {
        s.indexFrom.Bind(1, firstNew);
        if (s.indexFrom.Run() != SQLITE_DONE)
            return false;
    }
    return true;
}

int GuideStore::Purge(std::int64_t now)
{
    if (!db_)
        return -1;
    Statements& s = *st_;
    if (s.begin.Run() != SQLITE_DONE) {
        Fail("purge");
        return -1;
    }
    s.unindexEnded.Bind(1, now - kKeptAfterEnd);
    s.purge.Bind(1, now - kKeptAfterEnd);
    if (s.unindexEnded.Run() == SQLITE_DONE && s.purge.Run() == SQLITE_DONE) {
        const int removed = sqlite3_changes(db_);
        if (s.commit.Run() == SQLITE_DONE)
            return removed;
    }
    Fail("purge");
    s.rollback.Run();
    return -1;
}
