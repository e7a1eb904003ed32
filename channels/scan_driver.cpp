#include "channels/scan_driver.h"

namespace {

// Offers the records added since `cursor` to the dialog's list; a record without
// a name stays in the list but is not shown.
void ShowNewNames(const ChannelList& list, std::size_t& cursor, ScanProgress& progress)
{
    for (; cursor < list.size(); ++cursor)
        if (list[cursor].Nom[0] != '\0')
            progress.AddName(list[cursor]);
}

}  // namespace

bool ScanFrequency(std::int32_t frequencyKHz, bool trustSignal, ScanSource& source, ChannelList& list,
                   std::vector<std::uint8_t>& capturedNit)
{
    source.Tune(frequencyKHz);
    if (trustSignal && source.AwaitSignal() == SignalReport::Absent)
        return true;
    const SectionRequest request = [&source](std::uint16_t pid, std::uint8_t tableId, std::uint32_t timeoutMs,
                                             std::vector<std::uint8_t>& section) {
        return source.RequestSection(pid, tableId, timeoutMs, section);
    };
    ReadMultiplexTables(frequencyKHz, request, list, capturedNit);
    return false;
}

void ScanAllFrequencies(const std::vector<std::int32_t>& frequencies, ScanSource& source, ScanProgress& progress,
                        ChannelList& list, std::vector<std::uint8_t>& capturedNit)
{
    const std::size_t firstRecord = list.size();
    std::size_t cursor = firstRecord;
    std::vector<std::int32_t> skipped;

    progress.SetRange(frequencies.size());
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        progress.SetPosition(i);
        if (ScanFrequency(frequencies[i], true, source, list, capturedNit))
            skipped.push_back(frequencies[i]);
        ShowNewNames(list, cursor, progress);
    }

    if (list.size() > firstRecord || skipped.empty())
        return;
    progress.SetRange(skipped.size());
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        progress.SetPosition(i);
        ScanFrequency(skipped[i], false, source, list, capturedNit);
        ShowNewNames(list, cursor, progress);
    }
}
