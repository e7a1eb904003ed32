#include "standins/tuner_core.h"

#include "standins/broadcast_file.h"

void TunerCore::StartChanges()
{
    AutoLock lock(lock_);
    // A new transaction starts from what is tuned now.
    pendingFrequency_ = tuned_.frequencyKhz;
}

void TunerCore::SetFrequency(std::uint32_t kHz)
{
    AutoLock lock(lock_);
    pendingFrequency_ = kHz;
}

void TunerCore::SetBandwidth(std::uint32_t mhz)
{
    AutoLock lock(lock_);
    pendingBandwidth_ = mhz;
}

std::uint32_t TunerCore::PendingFrequency()
{
    AutoLock lock(lock_);
    return pendingFrequency_;
}

std::uint32_t TunerCore::PendingBandwidth()
{
    AutoLock lock(lock_);
    return pendingBandwidth_;
}

void TunerCore::CommitChanges()
{
    AutoLock lock(lock_);
    tuned_.frequencyKhz = pendingFrequency_;
    tuned_.present = pendingFrequency_ != 0 && BroadcastExists(pendingFrequency_);
    tuned_.locked = tuned_.present && lockDelay_.count() == 0;
    committedAt_ = Clock::now();
    ++tuned_.generation;
}

TunedMultiplex TunerCore::Tuned()
{
    AutoLock lock(lock_);
    if (tuned_.present && !tuned_.locked && Clock::now() - committedAt_ >= lockDelay_) tuned_.locked = true;
    return tuned_;
}

void TunerCore::Forget()
{
    AutoLock lock(lock_);
    tuned_.frequencyKhz = 0;
    tuned_.present = false;
    tuned_.locked = false;
    ++tuned_.generation;
}
