#include "channels/lock_wait.h"

LockStep NextLockStep(const SignalReading& reading, std::uint32_t elapsedMs, const ScanWaits& waits,
                      bool mayGiveUpEarly)
{
    if (!reading.readable || reading.locked)
        return LockStep::Scan;
    if (elapsedMs >= waits.lockMs)
        return reading.present ? LockStep::Scan : LockStep::GiveUp;
    if (!reading.present && mayGiveUpEarly && elapsedMs >= waits.noCarrierMs)
        return LockStep::GiveUp;
    return LockStep::Wait;
}
