#include "record/playback/ts_probe.h"

#include <vector>

#include "channels/psi/ts_packet.h"

namespace {

// A lone 0x47 is common in any data; five of them 188 bytes apart is a stream.
// A stream shorter than that is accepted when every packet it holds is in step.
constexpr std::uint64_t kSyncRun = 5;

}  // namespace

TsProbe ProbeTransportStream(ByteSource& source)
{
    TsProbe probe;
    const std::uint64_t size = source.Size();
    if (size < kTsPacketSize)
        return probe;
    std::vector<std::uint8_t> head(kTsPacketSize * (kSyncRun + 1));
    const std::size_t got = source.ReadAt(0, head.data(), head.size());
    for (std::size_t start = 0; start < kTsPacketSize && start + kTsPacketSize <= got; ++start) {
        const std::uint64_t available = (got - start) / kTsPacketSize;
        const std::uint64_t needed = std::min<std::uint64_t>(kSyncRun, (size - start) / kTsPacketSize);
        if (needed == 0 || available < needed)
            continue;
        bool inStep = true;
        for (std::uint64_t k = 0; k < needed && inStep; ++k)
            inStep = head[start + k * kTsPacketSize] == kTsSyncByte;
        if (!inStep)
            continue;
        probe.status = TsProbeStatus::Ok;
        probe.firstPacket = start;
        probe.packetCount = (size - start) / kTsPacketSize;
        probe.truncated = (size - start) % kTsPacketSize != 0;
        return probe;
    }
    probe.status = TsProbeStatus::NotTransportStream;
    return probe;
}
