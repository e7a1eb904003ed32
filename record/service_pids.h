#pragma once
// The PIDs a service recording keeps, taken from the channel record once, when
// the recording starts: later channel or track changes do not alter them.
#include "channels/chaine.h"
#include "record/packet_filter.h"

// The audio PID of the track being heard: Son2 for the second track, Ac3 for the
// AC-3 track (which wins should both flags be set), Son1 otherwise.
int RecordedAudioPid(const Chaine& channel, bool secondAudioActive, bool ac3Active);

PidSelection ServiceSelection(const Chaine& channel, bool secondAudioActive, bool ac3Active);
