#include "channels/scan_rules.h"

void RemoveUnplayable(ChannelList& list)
{
    std::size_t p = 0;
    while (p < list.size()) {
        if (list[p].Video == 0 || list[p].PCR == kNoPcrPid)
            RemoveAt(list, p);  // the next record moves to p and is examined next
        else
            ++p;
    }
}
