#pragma once
// Walks the whole packets of a probed stream from an offset on, reading the
// source in bounded chunks; shared by the PCR index and the search for a
// random-access point.
#include <cstdint>
#include <functional>

#include "record/playback/byte_source.h"
#include "record/playback/ts_probe.h"

// The offset of the packet holding `offset` (the first packet when before it).
std::uint64_t AlignToPacket(const TsProbe& probe, std::uint64_t offset);

// Calls `visit(offset, packet)` for each packet whose start lies in
// [from, from + limit), in order, until it returns false; returns false when a
// visit stopped the walk, true when the range or the file ended.
bool ScanPackets(ByteSource& source, const TsProbe& probe, std::uint64_t from, std::uint64_t limit,
                 const std::function<bool(std::uint64_t, const std::uint8_t*)>& visit);
