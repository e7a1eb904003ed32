#include "record/timers/timer_book.h"

#include <algorithm>

#include "record/timers/conflicts.h"

namespace {

constexpr const char* kMemoryOnly =
    "Les enregistrements programm\u00e9s ne peuvent pas \u00eatre gard\u00e9s dans guide.db : ils restent en "
    "m\u00e9moire jusqu'\u00e0 la fermeture du programme.";

}  // namespace

std::string TimerBook::Open(const std::filesystem::path& file)
{
    timers_.clear();
    storeFailed_ = false;
    StoreOpenStatus status = store_.Open(file);
    if (status == StoreOpenStatus::Unavailable) {
        storeFailed_ = true;
        return store_.message().empty() ? kMemoryOnly : store_.message() + " " + kMemoryOnly;
    }
    timers_ = store_.Load();
    return store_.message();
}

const Timer* TimerBook::Find(std::int64_t id) const
{
    auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    return it == timers_.end() ? nullptr : &*it;
}

const Timer* TimerBook::ForEvent(const ServiceKey& service, std::uint16_t eventId) const
{
    for (const Timer& t : timers_)
        if (t.service == service && t.eventId == eventId &&
            (t.Pending() || t.state == TimerState::Recording))
            return &t;
    return nullptr;
}

TimerBook::Outcome TimerBook::Check(const Timer& timer, std::int64_t now, std::int64_t ignoreId) const
{
    if (timer.end <= timer.start)
        return {false, "La fin de l'enregistrement doit venir apr\u00e8s son d\u00e9but."};
    if (timer.repeat == Repeat::Once && timer.RecordUntil() <= now)
        return {false, "Ce programme est d\u00e9j\u00e0 termin\u00e9."};
    std::vector<Timer> others;
    others.reserve(timers_.size());
    for (const Timer& t : timers_)
        if (t.id != ignoreId)
            others.push_back(t);
    // Conflicts are looked for over a bounded stretch: it begins where the
    // timer's own window does, so that a timer set weeks ahead is checked too.
    const std::int64_t from = std::max(now, timer.RecordFrom());
    std::size_t other = ConflictingTimer(timer, others, from, zone_);
    if (other < others.size())
        return {false, ConflictWarning(others[other])};
    return {true, {}};
}

std::string TimerBook::StoreFailure()
{
    if (storeFailed_)
        return {};
    storeFailed_ = true;
    std::string message = store_.message();
    store_.Close();
    return message.empty() ? kMemoryOnly : message + " " + kMemoryOnly;
}

TimerBook::Outcome TimerBook::Add(Timer timer, std::int64_t now)
{
    timer.id = 0;
    Outcome outcome = Check(timer, now, 0);
    if (!outcome.done)
        return outcome;
    if (storeFailed_ || !store_.Add(timer)) {
        outcome.message = StoreFailure();
        timer.id = nextMemoryId_--;
    }
    timers_.push_back(std::move(timer));
    Tell();
    return outcome;
}

TimerBook::Outcome TimerBook::Change(const Timer& timer, std::int64_t now)
{
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.id == timer.id; });
    if (it == timers_.end())
        return {false, "Cet enregistrement programm\u00e9 n'existe plus."};
    Outcome outcome = Check(timer, now, timer.id);
    if (!outcome.done)
        return outcome;
    *it = timer;
    if (!storeFailed_ && timer.id > 0 && !store_.Update(*it))
        outcome.message = StoreFailure();
    Tell();
    return outcome;
}

TimerBook::Outcome TimerBook::Remove(std::int64_t id)
{
    auto it = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers_.end())
        return {false, {}};
    Outcome outcome{true, {}};
    if (!storeFailed_ && id > 0 && !store_.Remove(id))
        outcome.message = StoreFailure();
    timers_.erase(it);
    Tell();
    return outcome;
}

TimerBook::Outcome TimerBook::Commit(const std::vector<std::size_t>& changed)
{
    Outcome outcome{true, {}};
    std::vector<const Timer*> rows;
    for (std::size_t i : changed)
        if (i < timers_.size() && timers_[i].id > 0 &&
            std::find(rows.begin(), rows.end(), &timers_[i]) == rows.end())
            rows.push_back(&timers_[i]);
    if (!storeFailed_ && !rows.empty() && !store_.Update(rows))
        outcome.message = StoreFailure();
    Tell();
    return outcome;
}

int TimerBook::Subscribe(Listener listener)
{
    const int token = nextToken_++;
    listeners_.emplace_back(token, std::move(listener));
    return token;
}

void TimerBook::Unsubscribe(int token)
{
    std::erase_if(listeners_, [token](const auto& l) { return l.first == token; });
}

void TimerBook::Tell() const
{
    // A copy: a listener may close its window, which unsubscribes it.
    const auto listeners = listeners_;
    for (const auto& [token, listener] : listeners)
        listener();
}
