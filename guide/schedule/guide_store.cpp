#include "guide/schedule/guide_store.h"

#include <system_error>

#include "guide/schedule/store_statement.h"

namespace {

// Another process (a second copy starting, a backup tool) may hold the file a
// moment; longer than this and the guide goes to memory rather than delay the start.
constexpr int kBusyMilliseconds = 750;

// The accent folding of the search is the tokenizer's: "remove_diacritics 2"
// folds "é" to "e" in the index and in the query alike. The search table takes
// its texts from `events` (external content): the rows are written once.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS services(
  id INTEGER PRIMARY KEY,
  onid INTEGER NOT NULL, tsid INTEGER NOT NULL, sid INTEGER NOT NULL,
  name TEXT NOT NULL DEFAULT '',
  UNIQUE(onid, tsid, sid));
CREATE TABLE IF NOT EXISTS events(
  id INTEGER PRIMARY KEY,
  service INTEGER NOT NULL REFERENCES services(id),
  event_id INTEGER NOT NULL,
  start INTEGER NOT NULL, stop INTEGER NOT NULL,
  title TEXT NOT NULL, subtitle TEXT NOT NULL, description TEXT NOT NULL,
  content INTEGER NOT NULL, genre TEXT NOT NULL, rating INTEGER NOT NULL, flags INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS clock(
  id INTEGER PRIMARY KEY CHECK(id = 0),
  difference INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS events_by_service ON events(service, start);
CREATE INDEX IF NOT EXISTS events_by_stop ON events(stop);
CREATE VIRTUAL TABLE IF NOT EXISTS events_text USING fts5(
  title, subtitle, description, content='events', content_rowid='id',
  tokenize='unicode61 remove_diacritics 2');
-- Earlier files kept the search table in step through triggers, one update of
-- the full-text index per row; the store now feeds it once per transaction.
DROP TRIGGER IF EXISTS events_added;
DROP TRIGGER IF EXISTS events_removed;
)sql";

// What the write compares with a new copy of an event (see guide_store_write.cpp).
constexpr const char* kStoredColumns =
    "id, event_id, start, stop, title, subtitle, description, content, rating, flags";

constexpr const char* kEventColumns =
    "s.onid, s.tsid, s.sid, e.event_id, e.start, e.stop, e.title, e.subtitle, e.description, "
    "e.content, e.rating, e.flags";

std::string Text(sqlite3_stmt* st, int column) { return std::string(TextView(st, column)); }

GuideEntry ReadEntry(sqlite3_stmt* st)
{
    GuideEntry g;
    g.service.onid = static_cast<std::uint16_t>(sqlite3_column_int(st, 0));
    g.service.tsid = static_cast<std::uint16_t>(sqlite3_column_int(st, 1));
    g.service.sid = static_cast<std::uint16_t>(sqlite3_column_int(st, 2));
    g.eventId = static_cast<std::uint16_t>(sqlite3_column_int(st, 3));
    g.start = sqlite3_column_int64(st, 4);
    g.stop = sqlite3_column_int64(st, 5);
    g.title = Text(st, 6);
    g.subtitle = Text(st, 7);
    g.description = Text(st, 8);
    g.content = static_cast<std::uint8_t>(sqlite3_column_int(st, 9));
    g.minimumAge = static_cast<std::uint8_t>(sqlite3_column_int(st, 10));
    g.flags = static_cast<std::uint8_t>(sqlite3_column_int(st, 11));
    return g;
}

std::vector<GuideEntry> ReadEntries(sqlite3_stmt* st)
{
    std::vector<GuideEntry> entries;
    if (!st)
        return entries;
    while (sqlite3_step(st) == SQLITE_ROW)
        entries.push_back(ReadEntry(st));
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
    return entries;
}

bool Unreadable(int rc)
{
    rc &= 0xFF;
    return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT;
}

std::string MessageFor(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "Le fichier du guide des programmes (guide.db) est utilisé par un autre programme : "
               "le guide est gardé en mémoire pour cette fois.";
    case SQLITE_FULL:
        return "Le disque est plein : le guide des programmes ne peut plus être enregistré dans guide.db "
               "et n'est gardé qu'en mémoire.";
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return "Le fichier du guide des programmes (guide.db) ne peut pas être écrit dans ce dossier : "
               "le guide n'est gardé qu'en mémoire.";
    default:
        return "Le fichier du guide des programmes (guide.db) ne peut pas être utilisé (" +
               std::string(sqlite3_errstr(rc)) + ") : le guide n'est gardé qu'en mémoire.";
    }
}

std::string U8Path(const std::filesystem::path& p)
{
    const auto u8 = p.u8string();
    return std::string(reinterpret_cast<const char*>(u8.data()), u8.size());
}

// Moves `from` aside as `to`, replacing an older copy there.
void MoveAside(const std::filesystem::path& from, const std::filesystem::path& to)
{
    std::error_code ec;
    if (std::filesystem::exists(from, ec))
        std::filesystem::rename(from, to, ec);
}

}  // namespace

GuideStore::GuideStore() = default;

GuideStore::~GuideStore() { Close(); }

void GuideStore::Close()
{
    st_.reset();
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

void GuideStore::Fail(const char* what)
{
    const int rc = db_ ? sqlite3_extended_errcode(db_) : SQLITE_ERROR;
    message_ = MessageFor(rc);
    (void)what;
}

bool GuideStore::Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

StoreOpenStatus GuideStore::Open(const std::filesystem::path& file)
{
    // The first attempt; its failure code decides between moving the file aside
    // and falling back to memory.
    auto attempt = [this, &file]() -> int {
        Close();
        int rc = sqlite3_open_v2(U8Path(file).c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK)
            return rc;
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, kBusyMilliseconds);
        // WAL: readers never wait for the writer thread, and a write cut short
        // by a crash leaves the last committed transaction intact.
        if (!Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;") || !Exec(kSchema))
            return sqlite3_extended_errcode(db_);
        sqlite3_stmt* check = nullptr;
        rc = sqlite3_prepare_v2(db_, "PRAGMA quick_check", -1, &check, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(check);
            if (rc == SQLITE_ROW)
                rc = Text(check, 0) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
            else if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        }
        sqlite3_finalize(check);
        if (rc != SQLITE_OK)
            return rc;
        return Prepare() ? SQLITE_OK : sqlite3_extended_errcode(db_);
    };

    message_.clear();
    int rc = attempt();
    if (rc == SQLITE_OK)
        return StoreOpenStatus::Opened;
    if (Unreadable(rc)) {
        Close();
        std::filesystem::path aside = file;
        aside += ".illisible";
        for (const char* suffix : {"-wal", "-shm"}) {
            std::filesystem::path from = file, to = aside;
            from += suffix;
            to += suffix;
            MoveAside(from, to);
        }
        MoveAside(file, aside);
        rc = attempt();
        if (rc == SQLITE_OK) {
            message_ = "Le fichier du guide des programmes était illisible : il a été mis de côté sous le nom "
                       "guide.db.illisible et un nouveau guide a été créé.";
            return StoreOpenStatus::Recreated;
        }
    }
    message_ = MessageFor(rc);
    Close();
    return StoreOpenStatus::Unavailable;
}

bool GuideStore::Prepare()
{
    st_ = std::make_unique<Statements>();
    Statements& s = *st_;
    const std::string select = std::string("SELECT ") + kEventColumns + " FROM events e JOIN services s ON s.id = e.service ";
    return s.begin.Prepare(db_, "BEGIN IMMEDIATE") && s.commit.Prepare(db_, "COMMIT") &&
           s.rollback.Prepare(db_, "ROLLBACK") &&
           s.upsertService.Prepare(db_,
                                   "INSERT INTO services(onid, tsid, sid, name) VALUES (?1, ?2, ?3, ?4) "
                                   "ON CONFLICT(onid, tsid, sid) DO UPDATE SET name = excluded.name "
                                   "WHERE excluded.name <> ''") &&
           s.ensureService.Prepare(db_, "INSERT OR IGNORE INTO services(onid, tsid, sid) VALUES (?1, ?2, ?3)") &&
           s.serviceId.Prepare(db_, "SELECT id FROM services WHERE onid = ?1 AND tsid = ?2 AND sid = ?3") &&
           s.lastId.Prepare(db_, "SELECT coalesce(max(id), 0) FROM events") &&
           // No event lasts more than a day (longer ones are refused on reading):
           // the lower bound keeps this an index range of a few rows, not a scan
           // of every earlier event of the service.
           s.overlapping.Prepare(db_, (std::string("SELECT ") + kStoredColumns +
                                       " FROM events WHERE service = ?1 AND start > ?2 - 86400 AND start < ?3 "
                                       "AND stop > ?2")
                                          .c_str()) &&
           s.inSpan.Prepare(db_, (std::string("SELECT ") + kStoredColumns +
                                  " FROM events WHERE service = ?1 AND start >= ?2 AND start < ?3")
                                     .c_str()) &&
           s.removeEvent.Prepare(db_, "DELETE FROM events WHERE id = ?1") &&
           s.insertEvent.Prepare(db_,
                                 "INSERT INTO events(id, service, event_id, start, stop, title, subtitle, description, "
                                 "content, genre, rating, flags) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)") &&
           s.unindex.Prepare(db_, "INSERT INTO events_text(events_text, rowid, title, subtitle, description) "
                                  "VALUES ('delete', ?1, ?2, ?3, ?4)") &&
           s.indexFrom.Prepare(db_, "INSERT INTO events_text(rowid, title, subtitle, description) "
                                    "SELECT id, title, subtitle, description FROM events WHERE id >= ?1") &&
           s.unindexEnded.Prepare(db_, "INSERT INTO events_text(events_text, rowid, title, subtitle, description) "
                                       "SELECT 'delete', id, title, subtitle, description FROM events WHERE stop < ?1") &&
           s.purge.Prepare(db_, "DELETE FROM events WHERE stop < ?1") &&
           s.writeClock.Prepare(db_, "INSERT OR REPLACE INTO clock(id, difference) VALUES (0, ?1)") &&
           s.clock.Prepare(db_, "SELECT difference FROM clock WHERE id = 0") &&
           s.span.Prepare(db_, "SELECT min(start), max(stop) FROM events") &&
           s.services.Prepare(db_, "SELECT onid, tsid, sid, name FROM services ORDER BY onid, tsid, sid") &&
           s.allEvents.Prepare(db_, (select + "ORDER BY s.onid, s.tsid, s.sid, e.start").c_str()) &&
           s.serviceEvents.Prepare(db_, (select + "WHERE s.onid = ?1 AND s.tsid = ?2 AND s.sid = ?3 "
                                                  "AND e.stop > ?4 AND e.start < ?5 ORDER BY e.start")
                                            .c_str()) &&
           s.search.Prepare(db_, (std::string("SELECT ") + kEventColumns +
                                  " FROM events_text t JOIN events e ON e.id = t.rowid "
                                  "JOIN services s ON s.id = e.service "
                                  "WHERE events_text MATCH ?1 AND e.stop > ?2 ORDER BY e.start, s.sid LIMIT ?3")
                                     .c_str());
}

std::vector<GuideService> GuideStore::Services() const
{
    std::vector<GuideService> services;
    if (!db_)
        return services;
    sqlite3_stmt* st = st_->services.get();
    while (sqlite3_step(st) == SQLITE_ROW) {
        GuideService g;
        g.key.onid = static_cast<std::uint16_t>(sqlite3_column_int(st, 0));
        g.key.tsid = static_cast<std::uint16_t>(sqlite3_column_int(st, 1));
        g.key.sid = static_cast<std::uint16_t>(sqlite3_column_int(st, 2));
        g.name = Text(st, 3);
        services.push_back(std::move(g));
    }
    sqlite3_reset(st);
    return services;
}

bool GuideStore::WriteClockDifference(std::int64_t seconds)
{
    if (!db_)
        return false;
    st_->writeClock.Bind(1, seconds);
    if (st_->writeClock.Run() == SQLITE_DONE)
        return true;
    Fail("clock");
    return false;
}

std::optional<std::int64_t> GuideStore::ClockDifference() const
{
    std::optional<std::int64_t> difference;
    if (!db_)
        return difference;
    sqlite3_stmt* st = st_->clock.get();
    if (sqlite3_step(st) == SQLITE_ROW)
        difference = sqlite3_column_int64(st, 0);
    sqlite3_reset(st);
    return difference;
}

std::pair<std::int64_t, std::int64_t> GuideStore::Span() const
{
    std::pair<std::int64_t, std::int64_t> span{0, 0};
    if (!db_)
        return span;
    sqlite3_stmt* st = st_->span.get();
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
        span = {sqlite3_column_int64(st, 0), sqlite3_column_int64(st, 1)};
    sqlite3_reset(st);
    return span;
}

std::vector<GuideEntry> GuideStore::Events() const
{
    return db_ ? ReadEntries(st_->allEvents.get()) : std::vector<GuideEntry>{};
}

std::vector<GuideEntry> GuideStore::Events(const ServiceKey& service, std::int64_t from, std::int64_t to) const
{
    if (!db_)
        return {};
    const Statement& st = st_->serviceEvents;
    st.Bind(1, service.onid);
    st.Bind(2, service.tsid);
    st.Bind(3, service.sid);
    st.Bind(4, from);
    st.Bind(5, to);
    return ReadEntries(st.get());
}

std::vector<GuideEntry> GuideStore::Search(const std::string& words, std::int64_t now, int limit) const
{
    const std::string query = SearchQuery(words);
    if (!db_ || query.empty())
        return {};
    const Statement& st = st_->search;
    st.Bind(1, query);
    st.Bind(2, now);
    st.Bind(3, limit);
    return ReadEntries(st.get());
}

std::string SearchQuery(const std::string& words)
{
    // Letters and digits make words; UTF-8 bytes of other letters (é, œ...)
    // too, the tokenizer folds them. The rest separates.
    std::string query;
    std::string word;
    auto flush = [&]() {
        if (word.empty())
            return;
        if (!query.empty())
            query += ' ';
        query += '"' + word + "\"*";
        word.clear();
    };
    for (char ch : words) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'))
            word += ch;
        else
            flush();
    }
    flush();
    return query;
}
