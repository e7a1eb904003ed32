#pragma once
// The "Chaînes" pop-up of the menu bar: one item per channel, identified by its index.
#include <windows.h>

// A new pop-up of the channels, one item per channel in list order; the caller owns it.
HMENU CreateChannelPopup();
// Builds the pop-up once from the channel list and inserts it before "Aide".
void BuildChannelMenu();
