#pragma once
// The channel scan's walk over the frequencies of a plan: tune, wait for the
// tuner to lock (lock_wait.h), read the tables of each multiplex (scan_rules.h),
// and report progress and names as they come. The tuner, the sections and the
// dialog come in through two small interfaces, so the order of the steps is the
// same whatever drives it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "channels/chaine.h"
#include "channels/lock_wait.h"
#include "channels/scan_rules.h"

class ScanSource {
public:
    virtual ~ScanSource() = default;
    virtual void Tune(std::int32_t frequencyKHz) = 0;
    // The tuner's "locked" and "present" right now.
    virtual SignalReading ReadSignal() = 0;
    // Lets `milliseconds` pass before the next reading.
    virtual void Pause(std::uint32_t milliseconds) = 0;
    // A steady count of milliseconds, for the time since tuning.
    virtual std::uint64_t NowMs() = 0;
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

// How a frequency's signal report is used.
enum class LockRule {
    Trust,     // wait for the lock; no carrier at all skips the frequency early
    FullWait,  // wait the whole lock wait unless it locks, then read the tables whatever it says
    Ignore,    // read the tables straight after tuning
};

// Reads the tuner's signal every pollMs until NextLockStep decides; true when
// the frequency is to be scanned.
bool AwaitLock(ScanSource& source, const ScanWaits& waits, bool mayGiveUpEarly);

// Scans one frequency into `list`; returns true when it was skipped on the
// tuner's word (only with LockRule::Trust), before any section was asked for.
bool ScanFrequency(std::int32_t frequencyKHz, LockRule rule, const ScanWaits& waits, ScanSource& source,
                   ChannelList& list, std::vector<std::uint8_t>& capturedNit);

// Scans every frequency in order, showing the progress and each new non-empty
// name. A tuner's report can be wrong, or a lock slower than the wait: when
// channels were found, the skipped frequencies that the captured NIT names as
// the home of a transport stream not found are scanned again with the full
// waits; when nothing at all was found, every skipped frequency is scanned again
// without asking the tuner. Either second pass restarts the progress over its
// frequencies.
void ScanAllFrequencies(const std::vector<std::int32_t>& frequencies, const ScanWaits& waits, ScanSource& source,
                        ScanProgress& progress, ChannelList& list, std::vector<std::uint8_t>& capturedNit);
