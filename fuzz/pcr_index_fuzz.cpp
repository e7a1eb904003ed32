#include <cstdint>

#include "record/playback/pcr_index.h"
#include "record/playback/random_access.h"

// Any bytes as a recording: the index must stay inside the file, its times must
// run forward with the offsets, and a seek must land on a packet of the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryByteSource source(data, size);
    const PcrIndex index = PcrIndex::Build(source);
    if (!index.ok())
        return 0;
    const TsProbe& probe = index.probe();
    if (probe.End() > size)
        __builtin_trap();
    const auto& marks = index.marks();
    for (std::size_t i = 1; i < marks.size(); ++i)
        if (marks[i].offset <= marks[i - 1].offset || marks[i].timeMs < marks[i - 1].timeMs)
            __builtin_trap();
    for (int k = 0; k <= 8; ++k) {
        const std::int64_t t = index.durationMs() * k / 8;
        const std::uint64_t offset = index.OffsetAt(t);
        if (offset < probe.firstPacket || offset >= probe.End() || (offset - probe.firstPacket) % 188 != 0)
            __builtin_trap();
        const std::int64_t back = index.TimeAt(offset);
        if (back < 0 || back > index.durationMs())
            __builtin_trap();
        index.TimeOfPcr(offset, static_cast<std::uint64_t>(t) * 27000);
        FindRandomAccessPoint(source, probe, offset, index.pcrPid(), static_cast<VideoCoding>(k % 4), 1 << 16);
    }
    return 0;
}
