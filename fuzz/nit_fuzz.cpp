#include "channels/psi/psi_parsers.h"
#include "fuzz/fuzz_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ChannelList list = FuzzRecords(data, size);
    ApplyNit(data, size, list);
    for (const Chaine& c : list)
        if (c.Numero < 0 || c.Numero > 0x3FF)
            __builtin_trap();
    return 0;
}
