#pragma once
// The timers, kept in the guide's database file (guide.db) in a table of their
// own, through a connection of their own. Each change is one transaction, so a
// program killed in the middle of one leaves the timers as they were before it.
//
// As with the guide, a store that cannot be used never stops the program: an
// unreadable file is moved aside as "<name>.illisible" and a new one made; a
// file that cannot be opened or written leaves the caller with its timers in
// memory and a French message to show.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "guide/schedule/guide_store.h"
#include "record/timers/timer.h"

struct sqlite3;

class TimerStore {
public:
    TimerStore() = default;
    ~TimerStore();
    TimerStore(const TimerStore&) = delete;
    TimerStore& operator=(const TimerStore&) = delete;

    StoreOpenStatus Open(const std::filesystem::path& file);
    bool IsOpen() const { return db_ != nullptr; }
    void Close();

    // The last failure, in French for the user; empty when all went well.
    const std::string& message() const { return message_; }

    // Every stored timer, by start. Values that no version of the program writes
    // (a repetition or state unknown here, negative margins) are read as the
    // nearest sensible one rather than refused.
    std::vector<Timer> Load();
    // Stores a new timer and gives it its id; false (nothing stored) on failure.
    bool Add(Timer& timer);
    // Writes the given timers (already stored) in one transaction.
    bool Update(const std::vector<const Timer*>& timers);
    bool Update(const Timer& timer) { return Update(std::vector<const Timer*>{&timer}); }
    bool Remove(std::int64_t id);

private:
    bool Exec(const char* sql);
    int Attempt(const std::filesystem::path& file);
    bool Fail();

    sqlite3* db_ = nullptr;
    std::string message_;
};

// A stored margin in minutes is held to 0..kMaxMarginMinutes.
inline constexpr int kMaxMarginMinutes = 24 * 60;
