#pragma once
// How long a scan waits for the tuner to lock after tuning. A DVB-T demodulator
// first finds the carrier, then needs its channel estimation and the inner and
// outer codes in step before it reports a lock: real tuners take from a few
// hundred milliseconds to several seconds for the second step. A tuner that does
// not even see a carrier after a moment has nothing to lock on.
#include <cstdint>

// The default of the setting: long enough for the slowest tuners seen.
constexpr std::uint32_t kDefaultLockWaitMs = 5000;
// What the setting is held to: a wait of a minute per frequency would make a
// full-band scan last most of an hour.
constexpr std::uint32_t kMaxLockWaitMs = 60000;

struct ScanWaits {
    // The longest wait for a lock while a carrier is there.
    std::uint32_t lockMs = kDefaultLockWaitMs;
    // How soon a frequency without any carrier is given up, when that is allowed.
    std::uint32_t noCarrierMs = 1000;
    // Between two readings of the tuner's statistics.
    std::uint32_t pollMs = 50;
};

// One reading of the tuner's signal statistics.
struct SignalReading {
    bool readable = false;  // false: no statistics, or they could not be read
    bool locked = false;
    bool present = false;
};

enum class LockStep {
    Wait,     // read again after pollMs
    Scan,     // read the tables now
    GiveUp,   // leave the frequency: no signal at all
};

// The decision after a reading taken `elapsedMs` after tuning. A locked tuner is
// scanned at once. Without any carrier the frequency is given up once noCarrierMs
// have passed, but only when `mayGiveUpEarly`; a carrier that does not lock keeps
// the wait going up to lockMs. When lockMs is over, a frequency with a carrier is
// scanned anyway (its tables may still come) and one without is given up. A
// tuner whose statistics cannot be read is scanned at once, as if it had locked.
LockStep NextLockStep(const SignalReading& reading, std::uint32_t elapsedMs, const ScanWaits& waits,
                      bool mayGiveUpEarly);

// How long to pause before the next reading: pollMs, cut short so that the
// reading falls on the moment a decision is due (the end of noCarrierMs, when
// giving up early is allowed, or of lockMs) rather than up to pollMs past it.
// Never 0.
std::uint32_t NextPauseMs(std::uint32_t elapsedMs, const ScanWaits& waits, bool mayGiveUpEarly);
