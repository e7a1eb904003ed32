#pragma once
// Putting a new channel list (a new scan's, or the user's new order) in place
// while the program plays.
#include <cstdint>
#include <vector>

#include "channels/chaine.h"
#include "channels/channel_choices.h"

// The guide reader keeps the guide in the records of the list by their place:
// it lets go of them before the list changes, and takes the new list afterwards.
void StopGuideForListChange();

// Makes `list` with `choices` the program's channels and writes them to
// chaines.xml (a failure is told in French; the list is used all the same), then
// makes the "Chaînes" menu again and starts the guide reader on the new list.
// `current` is the current channel's place in the new list; with `retune` the
// tuner is taken for lost (a scan moved it) and channel `current` is selected
// afresh, else it simply stays the current one.
void PutChannelListInPlace(ChannelList list, std::vector<ChannelChoice> choices, std::int32_t current, bool retune);

// The user's choices, one per channel of Chaines: ChannelChoices where it is in
// step with the channels, no choice made elsewhere.
std::vector<ChannelChoice> ChoicesInStep();

// The guide reader on the list as it is, after StopGuideForListChange when the
// list stayed the same after all.
void ResumeGuide();
