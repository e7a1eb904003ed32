#pragma once
// What the user is told at the end of a new scan that replaced the channel list.
#include <string>

#include "channels/channel_choices.h"

// The count line ("3 nouvelles chaînes, 1 disparue"), then the names of the new
// channels and of those gone, each on a line of its own.
std::wstring RescanReport(const ScanMerge& merge);
