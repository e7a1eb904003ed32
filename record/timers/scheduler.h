#pragma once
// The scheduler's decisions, apart from any clock, window or recording: given the
// timers and the time, which recordings start and stop now, which timers are
// missed, and when to look again. The runner around it waits for that instant
// (no polling) and carries the decisions out.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "record/timers/event_follow.h"
#include "record/timers/time_zone.h"
#include "record/timers/timer.h"

struct TimerAction {
    enum class Kind {
        Start,  // begin recording (the timer is now "En cours")
        Stop,   // end its recording (the timer is now "Terminé" or "Échec")
    };
    Kind kind = Kind::Start;
    std::size_t timer = 0;
    bool late = false;  // Start: the programme has begun, the file name says so
    bool operator==(const TimerAction&) const = default;
};

// What the guide says of each recording timer's event (by index).
using EventWatcher = std::function<EventWatch(std::size_t timer)>;

// Before anything runs, once per start of the program: a timer that was
// recording when the program ended is "Échec : programme interrompu" and, when
// its window is still open, is started again (late) into a new file; a waiting
// timer whose window passed meanwhile is "Manqué : programme fermé", and so is a
// repeating timer's latest occurrence that passed. Returns the starts; `changed`
// receives the indexes of the timers whose state changed (an index may repeat).
std::vector<TimerAction> AtStartup(std::vector<Timer>& timers, std::int64_t now, const TimeZoneRule& zone,
                                   std::vector<std::size_t>& changed);

// The decisions due at `now`, applied to the timers' states. `tunerMultiplex`
// is the multiplex that a recording by hand holds, if any. Recordings that end
// stop first; of the timers due to start, those on the multiplex already held
// (or, when none is, on the first one's) start, the others are "Manqué : tuner
// occupé". A repeating timer past its occurrence moves to its next one when
// that one's window opens.
std::vector<TimerAction> Schedule(std::vector<Timer>& timers, std::int64_t now,
                                  const std::optional<ServiceKey>& tunerMultiplex, const EventWatcher& watch,
                                  const TimeZoneRule& zone, std::vector<std::size_t>& changed);

// The next instant after which Schedule has something to do; nothing when no
// timer waits or records.
std::optional<std::int64_t> NextWake(const std::vector<Timer>& timers, std::int64_t now, const EventWatcher& watch,
                                     const TimeZoneRule& zone);

// A recording of the timer ended: "Terminé", or "Échec : <reason>" when `failure`
// is not empty or the recording was itself a resumption.
void FinishTimer(Timer& timer, const std::string& failure);
