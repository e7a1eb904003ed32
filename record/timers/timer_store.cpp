#include "record/timers/timer_store.h"

#include <algorithm>
#include <system_error>

#include "sqlite3.h"

namespace {

constexpr int kBusyMilliseconds = 750;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS timers(
  id INTEGER PRIMARY KEY,
  onid INTEGER NOT NULL, tsid INTEGER NOT NULL, sid INTEGER NOT NULL,
  channel TEXT NOT NULL, title TEXT NOT NULL,
  event_id INTEGER,
  start INTEGER NOT NULL, stop INTEGER NOT NULL,
  margin_before INTEGER NOT NULL, margin_after INTEGER NOT NULL,
  repeat INTEGER NOT NULL, state INTEGER NOT NULL, detail TEXT NOT NULL DEFAULT '');
)sql";

constexpr const char* kColumns =
    "onid, tsid, sid, channel, title, event_id, start, stop, margin_before, margin_after, repeat, state, detail";

// Owns one prepared statement for the length of a call.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &st_, nullptr); }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return st_ != nullptr; }
    sqlite3_stmt* get() const { return st_; }

private:
    sqlite3_stmt* st_ = nullptr;
};

std::string Text(sqlite3_stmt* st, int column)
{
    const auto* p = sqlite3_column_text(st, column);
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(st, column)))
             : std::string();
}

void BindText(sqlite3_stmt* st, int i, const std::string& v)
{
    sqlite3_bind_text(st, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}

// Binds the columns of kColumns from ?1 on.
void BindTimer(sqlite3_stmt* st, const Timer& t)
{
    sqlite3_bind_int(st, 1, t.service.onid);
    sqlite3_bind_int(st, 2, t.service.tsid);
    sqlite3_bind_int(st, 3, t.service.sid);
    BindText(st, 4, t.channel);
    BindText(st, 5, t.title);
    if (t.eventId)
        sqlite3_bind_int(st, 6, *t.eventId);
    else
        sqlite3_bind_null(st, 6);
    sqlite3_bind_int64(st, 7, t.start);
    sqlite3_bind_int64(st, 8, t.end);
    sqlite3_bind_int(st, 9, t.marginBefore);
    sqlite3_bind_int(st, 10, t.marginAfter);
    sqlite3_bind_int(st, 11, static_cast<int>(t.repeat));
    sqlite3_bind_int(st, 12, static_cast<int>(t.state));
    BindText(st, 13, t.detail);
}

std::uint16_t U16(sqlite3_stmt* st, int column)
{
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(sqlite3_column_int64(st, column), 0, 0xFFFF));
}

int Margin(sqlite3_stmt* st, int column)
{
    return static_cast<int>(std::clamp<std::int64_t>(sqlite3_column_int64(st, column), 0, kMaxMarginMinutes));
}

Timer ReadTimer(sqlite3_stmt* st)
{
    Timer t;
    t.id = sqlite3_column_int64(st, 0);
    t.service = {U16(st, 1), U16(st, 2), U16(st, 3)};
    t.channel = Text(st, 4);
    t.title = Text(st, 5);
    const std::int64_t event = sqlite3_column_int64(st, 6);
    if (sqlite3_column_type(st, 6) != SQLITE_NULL && event >= 0 && event <= 0xFFFF)
        t.eventId = static_cast<std::uint16_t>(event);
    t.start = sqlite3_column_int64(st, 7);
    t.end = std::max<std::int64_t>(t.start, sqlite3_column_int64(st, 8));
    t.marginBefore = Margin(st, 9);
    t.marginAfter = Margin(st, 10);
    const std::int64_t repeat = sqlite3_column_int64(st, 11);
    t.repeat = repeat >= 0 && repeat <= static_cast<int>(Repeat::Weekly) ? static_cast<Repeat>(repeat) : Repeat::Once;
    // A state this version does not know is shown as planned: the timer still
    // records rather than being lost.
    const std::int64_t state = sqlite3_column_int64(st, 12);
    t.state = state >= 0 && state <= static_cast<int>(TimerState::Conflict) ? static_cast<TimerState>(state)
                                                                            : TimerState::Planned;
    t.detail = Text(st, 13);
    return t;
}

bool Unreadable(int rc)
{
    rc &= 0xFF;
    return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT;
}

std::string MessageFor(int rc)
{
    const std::string after = " : les enregistrements programm\u00e9s ne sont gard\u00e9s qu'en m\u00e9moire, "
                              "jusqu'\u00e0 la fermeture du programme.";
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return "Le fichier guide.db est utilis\u00e9 par un autre programme" + after;
    case SQLITE_FULL: return "Le disque est plein" + after;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH: return "Le fichier guide.db ne peut pas \u00eatre \u00e9crit dans ce dossier" + after;
    default:
        return "Le fichier guide.db ne peut pas \u00eatre utilis\u00e9 (" + std::string(sqlite3_errstr(rc)) + ")" + after;
    }
}

std::string U8Path(const std::filesystem::path& p)
{
    const auto u8 = p.u8string();
    return std::string(reinterpret_cast<const char*>(u8.data()), u8.size());
}

void MoveAside(const std::filesystem::path& from, const std::filesystem::path& to)
{
    std::error_code ec;
    if (std::filesystem::exists(from, ec))
        std::filesystem::rename(from, to, ec);
}

}  // namespace

TimerStore::~TimerStore() { Close(); }

void TimerStore::Close()
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool TimerStore::Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

bool TimerStore::Fail()
{
    message_ = MessageFor(db_ ? sqlite3_extended_errcode(db_) : SQLITE_ERROR);
    return false;
}

int TimerStore::Attempt(const std::filesystem::path& file)
{
    Close();
    int rc = sqlite3_open_v2(U8Path(file).c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        return rc;
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyMilliseconds);
    // The guide's connection sets WAL on the same file; either may open first.
    if (!Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;") || !Exec(kSchema))
        return sqlite3_extended_errcode(db_);
    Statement check(db_, "SELECT count(*) FROM timers");
    if (!check)
        return sqlite3_extended_errcode(db_);
    rc = sqlite3_step(check.get());
    return rc == SQLITE_ROW ? SQLITE_OK : sqlite3_extended_errcode(db_);
}

StoreOpenStatus TimerStore::Open(const std::filesystem::path& file)
{
    message_.clear();
    int rc = Attempt(file);
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
        rc = Attempt(file);
        if (rc == SQLITE_OK) {
            message_ = "Le fichier guide.db \u00e9tait illisible : il a \u00e9t\u00e9 mis de c\u00f4t\u00e9 sous le nom "
                       "guide.db.illisible ; les enregistrements programm\u00e9s qu'il gardait sont perdus.";
            return StoreOpenStatus::Recreated;
        }
    }
    message_ = MessageFor(rc);
    Close();
    return StoreOpenStatus::Unavailable;
}

std::vector<Timer> TimerStore::Load()
{
    std::vector<Timer> timers;
    if (!db_)
        return timers;
    const std::string sql = std::string("SELECT id, ") + kColumns + " FROM timers ORDER BY start, id";
    Statement st(db_, sql.c_str());
    if (!st) {
        Fail();
        return timers;
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
        timers.push_back(ReadTimer(st.get()));
    if (rc != SQLITE_DONE)
        Fail();
    return timers;
}

bool TimerStore::Add(Timer& timer)
{
    if (!db_)
        return false;
    const std::string sql = std::string("INSERT INTO timers(") + kColumns +
                            ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)";
    Statement st(db_, sql.c_str());
    if (!st)
        return Fail();
    BindTimer(st.get(), timer);
    // A single statement is a transaction of its own.
    if (sqlite3_step(st.get()) != SQLITE_DONE)
        return Fail();
    timer.id = sqlite3_last_insert_rowid(db_);
    return true;
}

bool TimerStore::Update(const std::vector<const Timer*>& timers)
{
    if (!db_)
        return false;
    Statement st(db_, "UPDATE timers SET onid = ?1, tsid = ?2, sid = ?3, channel = ?4, title = ?5, event_id = ?6, "
                      "start = ?7, stop = ?8, margin_before = ?9, margin_after = ?10, repeat = ?11, state = ?12, "
                      "detail = ?13 WHERE id = ?14");
    if (!st || !Exec("BEGIN IMMEDIATE"))
        return Fail();
    for (const Timer* t : timers) {
        BindTimer(st.get(), *t);
        sqlite3_bind_int64(st.get(), 14, t->id);
        const int rc = sqlite3_step(st.get());
        sqlite3_reset(st.get());
        if (rc != SQLITE_DONE) {
            Fail();
            Exec("ROLLBACK");
            return false;
        }
    }
    if (Exec("COMMIT"))
        return true;
    Fail();
    Exec("ROLLBACK");
    return false;
}

bool TimerStore::Remove(std::int64_t id)
{
    if (!db_)
        return false;
    Statement st(db_, "DELETE FROM timers WHERE id = ?1");
    if (!st)
        return Fail();
    sqlite3_bind_int64(st.get(), 1, id);
    return sqlite3_step(st.get()) == SQLITE_DONE || Fail();
}
