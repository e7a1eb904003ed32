#include "record/packet_filter.h"

#include <cstring>

#include "channels/psi/ts_packet.h"

PidSelection PidSelection::Multiplex()
{
    PidSelection selection;
    selection.kept_.set();
    selection.kept_.reset(kTsNullPid);
    return selection;
}

PidSelection PidSelection::Service(int pmtPid, int videoPid, int audioPid, int pcrPid)
{
    if (pmtPid == 0)
        return Multiplex();
    PidSelection selection;
    selection.Add(0);
    selection.Add(pmtPid);
    selection.Add(videoPid);
    selection.Add(audioPid);
    // A service whose clock runs on a PID of its own cannot be played without it.
    if (pcrPid != kTsNullPid)
        selection.Add(pcrPid);
    return selection;
}

void PidSelection::Add(int pid)
{
    // A record's PID of 0 means "none": PID 0 is kept anyway for the PAT.
    if (pid >= 0 && pid < kTsNullPid)
        kept_.set(static_cast<std::size_t>(pid));
}

namespace {

std::uint16_t PidAt(const std::uint8_t* packet) noexcept
{
    return static_cast<std::uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
}

}  // namespace

FilterResult FilterPackets(const std::uint8_t* data, std::size_t length, const PidSelection& selection,
                           PacketRunSink& sink)
{
    FilterResult result;
    if (data == nullptr)
        return result;
    std::size_t offset = 0;
    std::size_t runStart = 0;
    std::size_t runSize = 0;
    auto flush = [&]() {
        if (runSize == 0)
            return true;
        ++result.runsWritten;
        const bool ok = sink.WriteRun(data + runStart, runSize);
        runSize = 0;
        if (!ok)
            result.sinkFailed = true;
        return ok;
    };

    while (length - offset >= kTsPacketSize) {
        const std::uint8_t* packet = data + offset;
        if (packet[0] != kTsSyncByte) {
            // Lost alignment: the next packet can only begin at the next sync byte.
            if (!flush())
                return result;
            const void* next = std::memchr(packet + 1, kTsSyncByte, length - offset - 1);
            const std::size_t resume =
                next ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - data) : length;
            result.bytesSkipped += resume - offset;
            offset = resume;
            continue;
        }
        if (selection.Keeps(PidAt(packet))) {
            if (runSize == 0)
                runStart = offset;
            runSize += kTsPacketSize;
            ++result.packetsKept;
        } else if (!flush()) {
            return result;
        }
        offset += kTsPacketSize;
    }
    result.bytesSkipped += length - offset;
    flush();
    return result;
}
