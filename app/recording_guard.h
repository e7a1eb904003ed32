#pragma once
// A recording is never cut by a change that needs the graph stopped (a pin taking
// another codec and decoder): such a change is refused with a message instead.
#include "graph/pin_decoders.h"

extern const wchar_t kChannelNeedsStop[];
extern const wchar_t kTrackNeedsStop[];

// True, after showing `message`, when a recording runs and `wanted` would reconnect a
// pin; false when the change may go ahead.
bool RefuseGraphStopWhileRecording(const PinCodecs& wanted, const wchar_t* message);
