#pragma once
// The rows of the programme guide list: for each channel in list order its
// present event, then its following event, each only when its slot is filled.
// A channel without events gives no row.
#include <cstddef>
#include <vector>

#include "channels/chaine.h"

struct GuideRow {
    std::size_t channel;  // position in the channel list
    GuideEvent event;     // a whole copy, taken under the slots' lock
};

std::vector<GuideRow> GuideRows(const ChannelList& channels);
