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
    tuned_.locked = pendingFrequency_ != 0 && BroadcastExists(pendingFrequency_);
    ++tuned_.generation;
}

TunedMultiplex TunerCore::Tuned()
{
    AutoLock lock(lock_);
    return tuned_;
}
