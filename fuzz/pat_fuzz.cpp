#include "channels/psi/psi_parsers.h"
#include "fuzz/fuzz_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ChannelList list = FuzzRecords(data, size);
    ParsePat(data, size, list);
    return 0;
}
