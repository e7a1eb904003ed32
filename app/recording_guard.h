#pragma once
// A recording is never cut by a change that needs the graph stopped (a pin taking
// another codec and decoder): such a change is refused with a message instead.
#include <cstdint>

#include "graph/pin_decoders.h"

extern const wchar_t kChannelNeedsStop[];
extern const wchar_t kTrackNeedsStop[];

// Whether a recording (by hand or by a timer) holds the tuner on its multiplex.
bool RecordingHoldsTuner();

// True, after showing why, when a timer records and channel `index` lies on
// another multiplex: a retune would cut its recording.
bool RefuseRetuneWhileTimerRecords(std::int32_t index);

// True, after showing `message`, when a recording runs and `wanted` would reconnect a
// pin; false when the change may go ahead.
bool RefuseGraphStopWhileRecording(const PinCodecs& wanted, const wchar_t* message);
