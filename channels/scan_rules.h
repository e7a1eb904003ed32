#pragma once
// What a scan does with the records it found once every frequency has been visited.
#include <cstdint>
#include <vector>

#include "channels/chaine.h"

// Removes, in place and keeping the order of the rest, every record that cannot be
// played: no MPEG video stream (radio, data, or a programme map that never came)
// or no programme clock reference.
void RemoveUnplayable(ChannelList& list);
