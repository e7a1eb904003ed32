#include "channels/scan_rules.h"

#include "channels/psi/psi_parsers.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Half the width of a UHF channel: the next channel's centre is 8000 kHz away.
constexpr std::int32_t kSameChannelKHz = 4000;

bool Found(const ChannelList& list, const AnnouncedStream& stream)
{
    return std::any_of(list.begin(), list.end(), [&stream](const Chaine& c) {
        return c.ONID == stream.onid && c.TSID == stream.tsid;
    });
}

}  // namespace

void ReadMultiplexTables(std::int32_t frequency, const SectionRequest& request, ChannelList& list,
                         std::vector<std::uint8_t>& capturedNit)
{
    const std::size_t first = list.size();
    std::vector<std::uint8_t> section;

    // No SDT means no signal or no multiplex here: the other tables are not asked for.
    if (!request(kSdtPid, kSdtActualTableId, kSdtTimeoutMs, section))
        return;
    ParseSdt(section.data(), section.size(), frequency, list);

    if (request(kPatPid, kPatTableId, kPatTimeoutMs, section))
        ParsePat(section.data(), section.size(), list);

    // A record the PAT did not name still asks on PID 0, where no PMT ever comes:
    // the request simply runs out.
    for (std::size_t p = first; p < list.size(); ++p) {
        const auto pid = static_cast<std::uint16_t>(list[p].PMT);
        if (request(pid, kPmtTableId, kPmtTimeoutMs, section))
            ParsePmt(section.data(), section.size(), p, list);
    }

    // The network's numbering is the same on every multiplex: one copy is enough.
    if (capturedNit.empty() && request(kNitPid, kNitActualTableId, kNitTimeoutMs, section))
        capturedNit = section;
}

void RemoveUnplayable(ChannelList& list)
{
    std::size_t p = 0;
    while (p < list.size()) {
        if (list[p].Video == 0 || list[p].PCR == kNoPcrPid)
            RemoveAt(list, p);  // the next record moves to p and is examined next
        else
            ++p;
    }
}

void FinishScan(ChannelList& list, const std::vector<std::uint8_t>* capturedNit)
{
    if (!capturedNit || capturedNit->empty())
        return;
    ApplyNit(capturedNit->data(), capturedNit->size(), list);
    RemoveUnplayable(list);
    SortByNumero(list);
}

std::vector<std::int32_t> SkippedButAnnounced(const std::vector<std::int32_t>& skipped,
                                              const std::vector<std::uint8_t>& capturedNit,
                                              const ChannelList& list)
{
    std::vector<AnnouncedStream> missing = ReadNitDeliveries(capturedNit.data(), capturedNit.size());
    missing.erase(std::remove_if(missing.begin(), missing.end(),
                                 [&list](const AnnouncedStream& s) { return Found(list, s); }),
                  missing.end());
    std::vector<std::int32_t> again;
    for (const std::int32_t f : skipped) {
        const bool announced = std::any_of(missing.begin(), missing.end(), [f](const AnnouncedStream& s) {
            return std::abs(static_cast<std::int64_t>(s.centreKHz) - f) < kSameChannelKHz;
        });
        if (announced)
            again.push_back(f);
    }
    return again;
}
