#pragma once
// The channel scan's walk over the frequencies of a plan: tune, read the tables
// of each multiplex (scan_rules.h), and report progress and names as they come.
// The tuner, the sections and the dialog come in through two small interfaces, so
// the order of the steps is the same whatever drives it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "channels/chaine.h"
#include "channels/scan_rules.h"

// What the tuner says of the signal once it has had a moment to lock.
enum class SignalReport {
    Unknown,  // no statistics, or they could not be read: scan as if there were a signal
    Present,  // locked or a carrier present
    Absent,   // positively neither locked nor present
};

class ScanSource {
public:
    virtual ~ScanSource() = default;
    virtual void Tune(std::int32_t frequencyKHz) = 0;
    // Polls the tuner for a bounded time right after Tune.
    virtual SignalReport AwaitSignal() = 0;
    // As SectionRequest: the first section of `pid`/`tableId` within `timeoutMs`.
    virtual bool RequestSection(std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                                std::vector<std::uint8_t>& section) = 0;
};

class ScanProgress {
public:
    virtual ~ScanProgress() = default;
    virtual void SetRange(std::size_t count) = 0;
    // Frequencies finished so far: 0 .. count-1, set before each one is scanned.
    virtual void SetPosition(std::size_t position) = 0;
    // A record's name as broadcast, never empty.
    virtual void AddName(const Chaine& channel) = 0;
};

// Scans one frequency into `list`. With `trustSignal`, a tuner that positively
// reports no signal skips the frequency before any section is asked for; returns
// true when it was skipped that way.
bool ScanFrequency(std::int32_t frequencyKHz, bool trustSignal, ScanSource& source, ChannelList& list,
                   std::vector<std::uint8_t>& capturedNit);

// Scans every frequency in order, showing the progress and each new non-empty
// name. A tuner's lock report can be wrong: when nothing at all was found and
// some frequencies were skipped on its word, those are scanned again without
// asking it, with the progress restarted over them.
void ScanAllFrequencies(const std::vector<std::int32_t>& frequencies, ScanSource& source, ScanProgress& progress,
                        ChannelList& list, std::vector<std::uint8_t>& capturedNit);
