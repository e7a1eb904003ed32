#include "record/playback/played_service.h"

#include <algorithm>
#include <vector>

#include "channels/psi/psi_parsers.h"
#include "channels/psi/section_assembler.h"

namespace {

constexpr std::size_t kReadBytes = 188 * 512;
constexpr std::size_t kPatHeader = 8;
constexpr std::size_t kCrcSize = 4;

// The PMT PID of the PAT's first programme (programme 0 is the network's).
std::optional<std::uint16_t> FirstProgrammePmt(const std::uint8_t* section, std::size_t length)
{
    if (length < kPatHeader + kCrcSize || section[0] != kPatTableId)
        return std::nullopt;
    for (std::size_t at = kPatHeader; at + 4 <= length - kCrcSize; at += 4) {
        const unsigned programme = (section[at] << 8) | section[at + 1];
        const auto pid = static_cast<std::uint16_t>(((section[at + 2] & 0x1F) << 8) | section[at + 3]);
        if (programme != 0)
            return pid;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Chaine> FindPlayedService(ByteSource& source, const TsProbe& probe, std::uint64_t limit)
{
    if (probe.status != TsProbeStatus::Ok)
        return std::nullopt;
    ChannelList list{MakeEmptyChaine()};
    list[0].PCR = kNoPcrPid;
    std::optional<std::uint16_t> pmtPid;
    bool pmtRead = false;
    SectionAssembler pat(kPatPid, [&](const std::uint8_t* section, std::size_t length) {
        if (!pmtPid)
            pmtPid = FirstProgrammePmt(section, length);
    });
    // Made once the PAT names the PID.
    std::optional<SectionAssembler> pmt;
    auto onPmt = [&](const std::uint8_t* section, std::size_t length) {
        if (pmtRead || length < 1 || section[0] != kPmtTableId)
            return;
        ParsePmt(section, length, 0, list);
        pmtRead = true;
    };

    std::vector<std::uint8_t> chunk(kReadBytes);
    const std::uint64_t end = std::min(probe.End(), probe.firstPacket + limit);
    for (std::uint64_t at = probe.firstPacket; at < end && !pmtRead;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kReadBytes, end - at));
        const std::size_t got = source.ReadAt(at, chunk.data(), want);
        const std::size_t whole = got - got % kTsPacketSize;
        if (whole == 0)
            break;
        for (std::size_t p = 0; p < whole && !pmtRead; p += kTsPacketSize) {
            const TsPacket packet = ReadTsPacket(chunk.data() + p, kTsPacketSize);
            if (!packet.ok())
                continue;
            if (packet.pid == kPatPid) {
                pat.FeedPacket(packet);
                if (pmtPid && !pmt)
                    pmt.emplace(*pmtPid, onPmt);
            } else if (pmt && packet.pid == *pmtPid) {
                pmt->FeedPacket(packet);
            }
        }
        at += whole;
    }
    if (!pmtRead)
        return std::nullopt;
    list[0].PMT = *pmtPid;
    return list[0];
}
