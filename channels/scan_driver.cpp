#include "channels/scan_driver.h"

#include <algorithm>
#include <cstdint>

namespace {

// Offers the records added since `cursor` to the dialog's list; a record without
// a name stays in the list but is not shown.
void ShowNewNames(const ChannelList& list, std::size_t& cursor, ScanProgress& progress)
{
    for (; cursor < list.size(); ++cursor)
        if (list[cursor].Nom[0] != '\0')
            progress.AddName(list[cursor]);
}

// One pass over `frequencies` with the progress shown over them; returns the
// frequencies skipped on the tuner's word.
std::vector<std::int32_t> ScanPass(const std::vector<std::int32_t>& frequencies, LockRule rule,
                                   const ScanWaits& waits, ScanSource& source, ScanProgress& progress,
                                   ChannelList& list, std::vector<std::uint8_t>& capturedNit, std::size_t& cursor)
{
    std::vector<std::int32_t> skipped;
    progress.SetRange(frequencies.size());
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        progress.SetPosition(i);
        if (ScanFrequency(frequencies[i], rule, waits, source, list, capturedNit))
            skipped.push_back(frequencies[i]);
        ShowNewNames(list, cursor, progress);
    }
    return skipped;
}

}  // namespace

bool AwaitLock(ScanSource& source, const ScanWaits& waits, bool mayGiveUpEarly)
{
    const std::uint64_t tuned = source.NowMs();
    for (;;) {
        // Reading the statistics takes time too: the wait is told by the clock.
        const std::uint64_t elapsed = source.NowMs() - tuned;
        const auto elapsedMs = static_cast<std::uint32_t>(std::min<std::uint64_t>(elapsed, UINT32_MAX));
        switch (NextLockStep(source.ReadSignal(), elapsedMs, waits, mayGiveUpEarly)) {
        case LockStep::Scan: return true;
        case LockStep::GiveUp: return false;
        case LockStep::Wait: break;
        }
        source.Pause(NextPauseMs(elapsedMs, waits, mayGiveUpEarly));
    }
}

bool ScanFrequency(std::int32_t frequencyKHz, LockRule rule, const ScanWaits& waits, ScanSource& source,
                   ChannelList& list, std::vector<std::uint8_t>& capturedNit)
{
    source.Tune(frequencyKHz);
    if (rule != LockRule::Ignore && !AwaitLock(source, waits, rule == LockRule::Trust) && rule == LockRule::Trust)
        return true;
    const SectionRequest request = [&source](std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                                             std::vector<std::uint8_t>& section) {
        return source.RequestSection(pid, tableId, timeoutMs, section);
    };
    ReadMultiplexTables(frequencyKHz, request, list, capturedNit);
    return false;
}

void ScanAllFrequencies(const std::vector<std::int32_t>& frequencies, const ScanWaits& waits, ScanSource& source,
                        ScanProgress& progress, ChannelList& list, std::vector<std::uint8_t>& capturedNit)
{
    const std::size_t firstRecord = list.size();
    std::size_t cursor = firstRecord;
    const std::vector<std::int32_t> skipped =
        ScanPass(frequencies, LockRule::Trust, waits, source, progress, list, capturedNit, cursor);
    if (skipped.empty())
        return;

    if (list.size() > firstRecord) {
        const std::vector<std::int32_t> announced = SkippedButAnnounced(skipped, capturedNit, list);
        if (!announced.empty())
            ScanPass(announced, LockRule::FullWait, waits, source, progress, list, capturedNit, cursor);
        return;
    }
    ScanPass(skipped, LockRule::Ignore, waits, source, progress, list, capturedNit, cursor);
}
