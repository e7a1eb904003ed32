#include "record/timers/timer.h"

std::string StateText(const Timer& timer)
{
    switch (timer.state) {
    case TimerState::Planned: return "Pr\u00e9vu";
    case TimerState::Recording:
        return timer.detail == kReasonSpaceShort ? std::string("En cours : ") + kReasonSpaceShort : "En cours";
    case TimerState::Done: return "Termin\u00e9";
    case TimerState::Missed: return "Manqu\u00e9 : " + timer.detail;
    case TimerState::Failed: return "\u00c9chec : " + timer.detail;
    case TimerState::Conflict: return "Conflit avec " + timer.detail;
    }
    return {};
}

const char* RepeatText(Repeat repeat)
{
    switch (repeat) {
    case Repeat::Once: return "une fois";
    case Repeat::Daily: return "tous les jours";
    case Repeat::Weekdays: return "du lundi au vendredi";
    case Repeat::Weekly: return "chaque semaine";
    }
    return "";
}
