#pragma once
// The program's timers as every window and the runner share them: the list of
// guide.db's table (or, when the store cannot be used, a list in memory only),
// each change checked and written in one transaction before anyone is told.
//
// One book, used on the window's thread only. Listeners are called after each
// change, in the order they subscribed; they must not change the book while
// being called.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "record/timers/time_zone.h"
#include "record/timers/timer.h"
#include "record/timers/timer_store.h"

class TimerBook {
public:
    // What a change came to: `done` false leaves the book as it was; `message`
    // (French, UTF-8) is for the user either way, empty when there is nothing to say.
    struct Outcome {
        bool done = false;
        std::string message;
    };

    explicit TimerBook(const TimeZoneRule& zone = EuropeParis()) : zone_(zone) {}

    // Loads the timers of `file` (guide.db). Returns the French notice to show
    // (file set aside, or timers kept in memory only); empty when all went well.
    std::string Open(const std::filesystem::path& file);
    void Close() { store_.Close(); }

    const std::vector<Timer>& Timers() const { return timers_; }
    const Timer* Find(std::int64_t id) const;
    // The waiting or running timer set from the guide for this programme.
    const Timer* ForEvent(const ServiceKey& service, std::uint16_t eventId) const;

    // A new timer: refused, with the warning naming the other, when it would
    // conflict with a timer of another multiplex; refused when its end is not
    // after its start or its window has passed.
    Outcome Add(Timer timer, std::int64_t now);
    // The same rules for a changed timer (kept when refused).
    Outcome Change(const Timer& timer, std::int64_t now);
    Outcome Remove(std::int64_t id);

    // For the runner: the timers' states as it changes them, then the indexes
    // it changed to be written and told.
    std::vector<Timer>& Edit() { return timers_; }
    Outcome Commit(const std::vector<std::size_t>& changed);

    using Listener = std::function<void()>;
    // Returns the listener's token for Unsubscribe: a window that goes away
    // before the program ends must stop listening first.
    int Subscribe(Listener listener);
    void Unsubscribe(int token);

    const TimeZoneRule& zone() const { return zone_; }

private:
    Outcome Check(const Timer& timer, std::int64_t now, std::int64_t ignoreId) const;
    std::string StoreFailure();
    void Tell() const;

    const TimeZoneRule& zone_;
    TimerStore store_;
    std::vector<Timer> timers_;
    std::int64_t nextMemoryId_ = -1;  // ids of timers that only memory holds
    bool storeFailed_ = false;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextToken_ = 1;
};
