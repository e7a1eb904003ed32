#pragma once
// The two guide slots of a channel record, shared between the guide reader (the
// only writer) and the user-interface thread (readers). Every access goes through
// these functions, which copy a slot whole under one lock, so no reader ever sees
// a half-written title.
#include "channels/chaine.h"

struct GuideSlots {
    GuideEvent present;
    GuideEvent following;
};

// Copies both slots of `channel` out.
GuideSlots ReadGuideSlots(const Chaine& channel);

// Stores `event` in `channel` by the storage rule. Returns false, storing nothing,
// when its start instant equals the start of one of the two kept events.
bool StoreGuideEvent(Chaine& channel, const GuideEvent& event);
