#pragma once
// The "Chaînes" pop-up of the menu bar: one item per shown channel, identified by
// its index, under the name the user gave it, and a "Favoris" pop-up of the
// favourites. Hidden channels have no item (their numbers still select them).
#include <windows.h>

// A new pop-up of the channels, one item per shown channel in list order; the caller owns it.
HMENU CreateChannelPopup();
// Builds the pop-up from the channel list and inserts it before "Aide".
void BuildChannelMenu();
// The list or the user's choices changed: the pop-up is made again in its place,
// also while a window mode holds the menu bar detached.
void RebuildChannelMenu();
