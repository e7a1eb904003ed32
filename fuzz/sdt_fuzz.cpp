#include "channels/psi/psi_parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ChannelList list;
    ParseSdt(data, size, 474000, list);
    for (const Chaine& c : list)
        if (c.Nom[sizeof c.Nom - 1] != '\0' || c.Groupe[sizeof c.Groupe - 1] != '\0')
            __builtin_trap();
    return 0;
}
