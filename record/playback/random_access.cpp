#include "record/playback/random_access.h"

#include "channels/psi/ts_packet.h"
#include "record/playback/packet_scan.h"

namespace {

constexpr std::uint8_t kRandomAccessFlag = 0x40;
constexpr std::uint8_t kMpeg2SequenceHeader = 0xB3;
constexpr std::uint8_t kMpeg2GroupOfPictures = 0xB8;
constexpr unsigned kH264Idr = 5;
constexpr unsigned kH264Sps = 7;
constexpr unsigned kHevcFirstIrap = 16;  // BLA_W_LP
constexpr unsigned kHevcLastIrap = 23;   // RSV_IRAP_VCL23
constexpr unsigned kHevcVps = 32;
constexpr unsigned kHevcSps = 33;

bool StartsAccess(std::uint8_t code, VideoCoding coding)
{
    switch (coding) {
    case VideoCoding::Mpeg2: return code == kMpeg2SequenceHeader || code == kMpeg2GroupOfPictures;
    case VideoCoding::H264: {
        const unsigned type = code & 0x1Fu;
        return (code & 0x80u) == 0 && (type == kH264Idr || type == kH264Sps);
    }
    case VideoCoding::Hevc: {
        const unsigned type = code >> 1 & 0x3Fu;
        return (code & 0x80u) == 0 &&
               ((type >= kHevcFirstIrap && type <= kHevcLastIrap) || type == kHevcVps || type == kHevcSps);
    }
    case VideoCoding::Unknown: break;
    }
    return false;
}

// The payload after the PES header, when the packet begins a PES packet whose
// header lies whole in it.
bool PesData(const TsPacket& packet, const std::uint8_t*& data, std::size_t& size)
{
    const std::uint8_t* p = packet.payload;
    const std::size_t n = packet.payloadSize;
    if (!packet.unitStart || n < 9 || p[0] != 0 || p[1] != 0 || p[2] != 1)
        return false;
    const std::size_t header = 9 + std::size_t{p[8]};
    if (header > n)
        return false;
    data = p + header;
    size = n - header;
    return true;
}

}  // namespace

bool IsRandomAccessPacket(const std::uint8_t* bytes, std::uint16_t pid, VideoCoding coding)
{
    const TsPacket packet = ReadTsPacket(bytes, kTsPacketSize);
    if (!packet.ok() || packet.transportError || packet.pid != pid)
        return false;
    if (packet.hasAdaptation && bytes[4] > 0 && (bytes[5] & kRandomAccessFlag) != 0)
        return true;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!PesData(packet, data, size))
        return false;
    // The headers that announce an access point come first in the picture's
    // PES packet, after at most an access unit delimiter and SEI: searching the
    // first packet's payload is enough.
    for (std::size_t i = 0; i + 3 < size; ++i)
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1 && StartsAccess(data[i + 3], coding))
            return true;
    return false;
}

std::optional<std::uint64_t> FindRandomAccessPoint(ByteSource& source, const TsProbe& probe, std::uint64_t from,
                                                   std::uint16_t pid, VideoCoding coding, std::uint64_t limit)
{
    std::optional<std::uint64_t> found;
    ScanPackets(source, probe, from, limit, [&](std::uint64_t offset, const std::uint8_t* bytes) {
        if (!IsRandomAccessPacket(bytes, pid, coding))
            return true;
        found = offset;
        return false;
    });
    return found;
}
