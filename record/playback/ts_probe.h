#pragma once
// Is this file a transport stream, and where do its packets stand? A recording
// may begin mid-packet (cut by another program) and end mid-packet (the disk
// filled, the program was killed): the packets are found by their sync bytes at
// 188-byte steps, and a cut last packet is left out.
#include <cstdint>

#include "record/playback/byte_source.h"

enum class TsProbeStatus {
    Ok,
    Empty,               // not even one whole packet
    NotTransportStream,  // no run of sync bytes at 188-byte steps near the start
};

struct TsProbe {
    TsProbeStatus status = TsProbeStatus::Empty;
    std::uint64_t firstPacket = 0;  // offset of the first whole packet
    std::uint64_t packetCount = 0;  // whole packets from there
    bool truncated = false;         // bytes of a cut packet after the last whole one

    std::uint64_t PacketOffset(std::uint64_t index) const { return firstPacket + index * 188; }
    std::uint64_t End() const { return PacketOffset(packetCount); }
};

TsProbe ProbeTransportStream(ByteSource& source);
