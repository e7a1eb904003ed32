#include "record/timers/timer_runner_rules.h"

#include <algorithm>

#include "record/file_errors.h"
#include "record/timers/timer.h"
#include "record/timers/timer_file_name.h"

std::uint64_t ExpectedRecordingBytes(std::int64_t seconds, std::int64_t bitsPerSecond)
{
    if (seconds <= 0)
        return 0;
    const std::int64_t rate = bitsPerSecond > 0 ? bitsPerSecond : kAssumedServiceBitsPerSecond;
    return static_cast<std::uint64_t>(seconds) * static_cast<std::uint64_t>(rate) / 8;
}

std::uint32_t WakeDelayMs(std::int64_t wake, std::int64_t nowMs, std::uint32_t capMs)
{
    // Window timers fire a little early or late; 50 ms past the second keeps
    // "now >= wake" true for the whole seconds the decisions use.
    constexpr std::int64_t kPastTheSecond = 50;
    const std::int64_t delay = wake * 1000 + kPastTheSecond - nowMs;
    if (delay <= 0)
        return 0;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(delay, capMs));
}

std::string WriteFailureReason(unsigned long code)
{
    constexpr unsigned long kHandleDiskFull = 39;
    constexpr unsigned long kDiskFull = 112;
    if (code == kDiskFull || code == kHandleDiskFull)
        return kReasonSpaceShort;
    std::string cause = Utf8FromWide(FileErrorReason(code));
    while (!cause.empty() && (cause.back() == '.' || cause.back() == ' '))
        cause.pop_back();
    if (cause.empty())
        return "\u00e9criture impossible";
    // The cause is a sentence of its own: inside the parentheses it goes on
    // the reason's sentence.
    if (cause[0] >= 'A' && cause[0] <= 'Z')
        cause[0] = static_cast<char>(cause[0] - 'A' + 'a');
    return "\u00e9criture impossible (" + cause + ")";
}

EventWatch NextEventWatch(const EventWatch& previous, GuideSight sight, std::int64_t plannedEnd, std::int64_t now)
{
    using Presence = EventWatch::Presence;
    switch (sight) {
    case GuideSight::Ours: return {Presence::Present, 0};
    case GuideSight::Other:
    case GuideSight::Nothing:
        if (previous.presence == Presence::Left)
            return previous;
        if (previous.presence == Presence::Present)
            return {Presence::Left, now};
        // Never seen on the air: nothing to follow past the planned end.
        if (sight == GuideSight::Other && now >= plannedEnd)
            return {Presence::Left, plannedEnd};
        return previous;
    }
    return previous;
}
