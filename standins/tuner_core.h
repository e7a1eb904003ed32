#pragma once
// The tuning state of one virtual tuner, shared by the filter, its control nodes and its
// output pin's worker thread. Values written through the frequency node are pending
// until CommitChanges, as a BDA driver's are; the commit decides whether there is a
// signal: there is one when the frequency has a broadcast file.
#include <chrono>
#include <cstdint>
#include <memory>

#include "graph/filterbase/auto_lock.h"

struct TunedMultiplex {
    std::uint32_t frequencyKhz = 0;
    // A carrier is there (the frequency has a broadcast); locked once the demodulator
    // has caught it, which a real tuner takes a while to do.
    bool present = false;
    bool locked = false;
    // Changes at every commit, so that the worker reopens its file even for the same
    // frequency.
    std::uint64_t generation = 0;
};

class TunerCore {
public:
    // `lockDelay`: how long after a commit the signal stays present but unlocked.
    explicit TunerCore(std::chrono::milliseconds lockDelay = std::chrono::milliseconds(0)) : lockDelay_(lockDelay) {}

    void StartChanges();
    void SetFrequency(std::uint32_t kHz);
    void SetBandwidth(std::uint32_t mhz);
    std::uint32_t PendingFrequency();
    std::uint32_t PendingBandwidth();
    // Applies the pending values and looks for the broadcast of the new frequency.
    void CommitChanges();
    TunedMultiplex Tuned();
    // Forgets what was tuned, as a USB tuner that powers down when its graph stops.
    void Forget();

private:
    using Clock = std::chrono::steady_clock;

    CriticalSection lock_;
    const std::chrono::milliseconds lockDelay_;
    Clock::time_point committedAt_{};
    std::uint32_t pendingFrequency_ = 0;
    std::uint32_t pendingBandwidth_ = 8;
    TunedMultiplex tuned_;
};

using TunerCorePtr = std::shared_ptr<TunerCore>;

// Signal figures reported by the statistics node.
namespace signal_figures {
constexpr long kLockedQuality = 92;
constexpr long kLockedStrength = -38;
constexpr long kNoSignalQuality = 0;
constexpr long kNoSignalStrength = -95;
}  // namespace signal_figures
