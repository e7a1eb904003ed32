#include "channels/lock_wait.h"

#include <initializer_list>

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

std::uint32_t NextPauseMs(std::uint32_t elapsedMs, const ScanWaits& waits, bool mayGiveUpEarly)
{
    std::uint32_t pause = waits.pollMs;
    for (const std::uint32_t due : {mayGiveUpEarly ? waits.noCarrierMs : 0u, waits.lockMs})
        if (due > elapsedMs && due - elapsedMs < pause)
            pause = due - elapsedMs;
    return pause == 0 ? 1 : pause;
}
