// The recorder's packet walk and the snapshot's bitmap layout on arbitrary bytes:
// every run handed out lies inside the input and is whole packets that begin with
// the sync byte, and a bitmap layout never claims more bytes than were given.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "record/bitmap_file.h"
#include "record/packet_filter.h"

namespace {

struct CheckingSink : PacketRunSink {
    const std::uint8_t* begin;
    const std::uint8_t* end;
    bool WriteRun(const std::uint8_t* bytes, std::size_t size) override
    {
        if (bytes < begin || bytes + size > end || size == 0 || size % 188 != 0)
            std::abort();
        for (std::size_t at = 0; at < size; at += 188)
            if (bytes[at] != 0x47)
                std::abort();
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so that a read past the end is caught.
    auto copy = std::make_unique<std::uint8_t[]>(size ? size : 1);
    for (std::size_t i = 0; i < size; ++i)
        copy[i] = data[i];
    CheckingSink sink;
    sink.begin = copy.get();
    sink.end = copy.get() + size;
    const int pid = size >= 2 ? (copy[0] << 8 | copy[1]) & 0x1FFF : 0x100;
    FilterPackets(copy.get(), size, PidSelection::Service(pid, pid + 1, pid + 2, pid + 3), sink);
    FilterPackets(copy.get(), size, PidSelection::Multiplex(), sink);

    if (const auto layout = LayOutBitmapFile(copy.get(), size))
        if (layout->blockSize > size || layout->fileSize != layout->blockSize + kBitmapFileHeaderSize)
            std::abort();
    return 0;
}
