#pragma once
// The runner's own small rules, apart from any clock or window: how long to
// wait for the next wake, when to wake a sleeping PC, how much room a recording
// needs, and what the guide says of a recording timer's programme.
#include <cstdint>
#include <optional>
#include <string>

#include "record/timers/event_follow.h"

// A service of a French multiplex rarely goes beyond this rate; the room a
// recording needs is counted with it, so that a warning errs on the safe side.
inline constexpr std::int64_t kAssumedServiceBitsPerSecond = 8'000'000;

// The room a recording of `seconds` needs, in bytes, at `bitsPerSecond` (the
// assumed rate when 0 or less); 0 for a window already over.
std::uint64_t ExpectedRecordingBytes(std::int64_t seconds, std::int64_t bitsPerSecond = 0);

// How long a window timer waits, in milliseconds, for the wake at `wake` (whole
// seconds of the program's clock) when it is `nowMs` (milliseconds, same
// clock): a little past the second, so that the decisions see it reached, and
// at most `capMs`, so that a clock that moved meanwhile is seen again.
std::uint32_t WakeDelayMs(std::int64_t wake, std::int64_t nowMs, std::uint32_t capMs);

// The reason, for "Échec : <raison>" (UTF-8), of a recording stopped by a
// failed write to its file with the system's error `code`: a full disk is
// "Espace insuffisant", any other failure "écriture impossible (<cause>)".
std::string WriteFailureReason(unsigned long code);

// What the guide shows now on the timer's service.
enum class GuideSight {
    Nothing,  // no programme at all (no guide yet, or a gap)
    Ours,     // the timer's programme is the present one
    Other,    // another programme is the present one
};

// The watch of a recording timer's programme after the guide was looked at,
// at `now`: present while it is ours; once seen present, left from the first
// look that shows it gone (never earlier); a programme never seen present
// counts as left at the planned end once another one is on.
EventWatch NextEventWatch(const EventWatch& previous, GuideSight sight, std::int64_t plannedEnd, std::int64_t now);
