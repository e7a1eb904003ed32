#pragma once
// The guide store's prepared statements: each kept for the connection's life
// (prepared once, reset after each use) and the statements of the store as one
// set. Private to the store's files.
#include <cstdint>
#include <string>
#include <string_view>

#include "guide/schedule/guide_store.h"
#include "sqlite3.h"

class Statement {
public:
    Statement() = default;
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Prepare(sqlite3* db, const char* sql)
    {
        sqlite3_finalize(st_);
        st_ = nullptr;
        return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &st_, nullptr) == SQLITE_OK;
    }
    sqlite3_stmt* get() const { return st_; }
    void Bind(int i, std::int64_t v) const { sqlite3_bind_int64(st_, i, v); }
    void Bind(int i, std::string_view v) const
    {
        sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    }
    // Runs a statement that returns no row; resets it for the next use.
    int Run() const
    {
        const int rc = sqlite3_step(st_);
        sqlite3_reset(st_);
        return rc;
    }

private:
    sqlite3_stmt* st_ = nullptr;
};

// A text column as it is in the row, valid until the next step or reset.
inline std::string_view TextView(sqlite3_stmt* st, int column)
{
    const auto* p = sqlite3_column_text(st, column);
    return p ? std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(st, column)))
             : std::string_view();
}

struct GuideStore::Statements {
    Statement begin, commit, rollback;
    Statement upsertService, ensureService, serviceId;
    Statement lastId, overlapping, inSpan, removeEvent, insertEvent;
    Statement unindex, indexFrom, unindexEnded, purge, writeClock;
    Statement clock, services, allEvents, serviceEvents, search, span;
};
