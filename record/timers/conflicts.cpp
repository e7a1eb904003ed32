#include "record/timers/conflicts.h"

#include <algorithm>
#include <set>
#include <utility>

#include "record/timers/repetition.h"

std::vector<Slot> ExpandSlots(const std::vector<Timer>& timers, std::int64_t now, std::int64_t horizon,
                              const TimeZoneRule& zone)
{
    std::vector<Slot> slots;
    slots.reserve(timers.size());
    for (std::size_t i = 0; i < timers.size(); ++i) {
        const Timer& t = timers[i];
        Timer from = t;
        if (!t.Pending() && t.state != TimerState::Recording) {
            // A repeating timer done with its occurrence waits for the next one.
            const std::optional<Occurrence> next = NextOccurrence(t, t.start, zone);
            if (!next)
                continue;
            from.start = next->start;
            from.end = next->end;
        }
        for (const Occurrence& o : OccurrencesBetween(from, now, horizon, zone))
            slots.push_back({i, o.start - std::int64_t{t.marginBefore} * 60, o.end + std::int64_t{t.marginAfter} * 60,
                             t.service});
    }
    return slots;
}

std::vector<ConflictPair> FindConflicts(std::vector<Slot> slots)
{
    std::sort(slots.begin(), slots.end(), [](const Slot& a, const Slot& b) { return a.from < b.from; });
    std::set<std::pair<std::size_t, std::size_t>> pairs;
    // The windows still open at the start of the one being looked at; a tuner
    // seldom has more than a handful at once, so a plain list does.
    std::vector<const Slot*> open;
    for (const Slot& slot : slots) {
        std::erase_if(open, [&](const Slot* o) { return o->until <= slot.from; });
        for (const Slot* o : open)
            if (o->timer != slot.timer && !SameMultiplex(o->service, slot.service))
                pairs.emplace(std::min(o->timer, slot.timer), std::max(o->timer, slot.timer));
        open.push_back(&slot);
    }
    std::vector<ConflictPair> found;
    found.reserve(pairs.size());
    for (const auto& [a, b] : pairs)
        found.push_back({a, b});
    return found;
}

std::size_t ConflictingTimer(const Timer& candidate, const std::vector<Timer>& timers, std::int64_t now,
                             const TimeZoneRule& zone)
{
    std::vector<Timer> all = timers;
    all.push_back(candidate);
    for (const ConflictPair& pair : FindConflicts(ExpandSlots(all, now, now + kConflictHorizon, zone)))
        if (pair.second == timers.size())
            return pair.first;
    return timers.size();
}

bool MarkConflicts(std::vector<Timer>& timers, std::int64_t now, const TimeZoneRule& zone)
{
    std::vector<std::size_t> other(timers.size(), timers.size());
    for (const ConflictPair& pair : FindConflicts(ExpandSlots(timers, now, now + kConflictHorizon, zone))) {
        if (other[pair.first] == timers.size())
            other[pair.first] = pair.second;
        if (other[pair.second] == timers.size())
            other[pair.second] = pair.first;
    }
    bool changed = false;
    for (std::size_t i = 0; i < timers.size(); ++i) {
        Timer& t = timers[i];
        if (!t.Pending())
            continue;
        const TimerState state = other[i] < timers.size() ? TimerState::Conflict : TimerState::Planned;
        const std::string detail = other[i] < timers.size() ? timers[other[i]].title : std::string();
        if (t.state != state || t.detail != detail) {
            t.state = state;
            t.detail = detail;
            changed = true;
        }
    }
    return changed;
}

std::string ConflictWarning(const Timer& other)
{
    return "Cet enregistrement chevauche \u00ab " + other.title + " \u00bb (" + other.channel +
           "), sur un autre multiplexe : le tuner ne peut recevoir qu'un multiplexe \u00e0 la fois. "
           "Au moment venu, l'enregistrement d\u00e9j\u00e0 en cours gardera le tuner.";
}
