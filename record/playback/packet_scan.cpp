#include "record/playback/packet_scan.h"

#include <algorithm>
#include <vector>

#include "channels/psi/ts_packet.h"

namespace {

// 64 KB reads: large enough for the disk, small enough to stop soon.
constexpr std::uint64_t kChunkPackets = 348;

}  // namespace

std::uint64_t AlignToPacket(const TsProbe& probe, std::uint64_t offset)
{
    if (offset <= probe.firstPacket || probe.packetCount == 0)
        return probe.firstPacket;
    const std::uint64_t index = std::min((offset - probe.firstPacket) / kTsPacketSize, probe.packetCount - 1);
    return probe.PacketOffset(index);
}

bool ScanPackets(ByteSource& source, const TsProbe& probe, std::uint64_t from, std::uint64_t limit,
                 const std::function<bool(std::uint64_t, const std::uint8_t*)>& visit)
{
    if (probe.packetCount == 0)
        return true;
    std::uint64_t at = from <= probe.firstPacket ? probe.firstPacket
                                                 : probe.firstPacket + (from - probe.firstPacket + kTsPacketSize - 1) /
                                                                           kTsPacketSize * kTsPacketSize;
    const std::uint64_t stop = std::min(probe.End(), from > UINT64_MAX - limit ? UINT64_MAX : from + limit);
    if (at >= stop)
        return true;
    const std::uint64_t inRange = (stop - at + kTsPacketSize - 1) / kTsPacketSize;
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min(kChunkPackets, inRange) * kTsPacketSize));
    while (at < stop) {
        const std::uint64_t packets = std::min<std::uint64_t>(kChunkPackets, (stop - at + kTsPacketSize - 1) / kTsPacketSize);
        const std::size_t want = static_cast<std::size_t>(packets * kTsPacketSize);
        const std::size_t got = source.ReadAt(at, chunk.data(), want);
        const std::size_t whole = got / kTsPacketSize;
        for (std::size_t i = 0; i < whole; ++i)
            if (!visit(at + i * kTsPacketSize, chunk.data() + i * kTsPacketSize))
                return false;
        if (got < want)
            return true;  // the source is shorter than probed, or would not read
        at += want;
    }
    return true;
}
