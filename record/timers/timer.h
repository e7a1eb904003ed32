#pragma once
// A timed recording: one service from one instant to another, once or again on
// chosen days. Times are UTC seconds since 1970-01-01; the local clock only
// matters for repetitions and for the file name (see repetition.h).
#include <cstdint>
#include <optional>
#include <string>

#include "channels/service_key.h"

enum class Repeat {
    Once,      // "une fois"
    Daily,     // "tous les jours"
    Weekdays,  // "du lundi au vendredi"
    Weekly,    // "chaque semaine"
};

enum class TimerState {
    Planned,    // "Prévu"
    Recording,  // "En cours"
    Done,       // "Terminé"
    Missed,     // "Manqué : <raison>"
    Failed,     // "Échec : <raison>"
    Conflict,   // "Conflit avec <titre>": still planned, but another timer wants the tuner
};

struct Timer {
    std::int64_t id = 0;  // the store's row; 0 until stored
    ServiceKey service;
    std::string channel;  // UTF-8, as the channel list names it when the timer was set
    std::string title;    // UTF-8
    // The guide's event when the timer was set from the guide: its times follow
    // the event's while it has not started, and an overrun is followed.
    std::optional<std::uint16_t> eventId;
    std::int64_t start = 0;  // the programme's own times, margins apart; for a
    std::int64_t end = 0;    // repeating timer those of its current occurrence
    int marginBefore = 0;    // minutes
    int marginAfter = 0;     // minutes
    Repeat repeat = Repeat::Once;
    TimerState state = TimerState::Planned;
    std::string detail;  // the reason of Missed and Failed, the other title of Conflict

    std::int64_t RecordFrom() const { return start - std::int64_t{marginBefore} * 60; }
    std::int64_t RecordUntil() const { return end + std::int64_t{marginAfter} * 60; }
    // Waiting for its occurrence: the scheduler may still start it.
    bool Pending() const { return state == TimerState::Planned || state == TimerState::Conflict; }
};

// One tuner receives one multiplex, named by its network and transport stream.
inline bool SameMultiplex(const ServiceKey& a, const ServiceKey& b)
{
    return a.onid == b.onid && a.tsid == b.tsid;
}

// The text of the list's "État" column, UTF-8.
std::string StateText(const Timer& timer);
// The French name of a repetition ("une fois"...), UTF-8.
const char* RepeatText(Repeat repeat);

// Reasons of the states, UTF-8.
inline constexpr const char* kReasonTunerBusy = "tuner occup\u00e9";
inline constexpr const char* kReasonNotRunning = "programme ferm\u00e9";
inline constexpr const char* kReasonInterrupted = "programme interrompu";
inline constexpr const char* kReasonChannelGone = "cha\u00eene absente";
// Said of a recording whose drive had less room than it needs: it records
// anyway, for what fits.
inline constexpr const char* kReasonSpaceShort = "Espace insuffisant";
