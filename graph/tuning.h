#pragma once
// Tuning through the tuner's BDA control nodes, and the graph's part of a channel
// change: which PIDs the demultiplexer's pins deliver.
#include <windows.h>

#include <cstdint>

#include "graph/channel_switch.h"

struct IMPEG2PIDMap;

// StartChanges, bandwidth 8 MHz, frequency, CheckChanges, CommitChanges; returns
// the commit's result. Does nothing (E_POINTER) without the tuning interfaces.
HRESULT TuneFrequency(std::uint32_t frequencyKHz);
// Maps or unmaps one PID as an elementary stream; nothing on a null pin.
void MapElementaryStream(IMPEG2PIDMap* pidMap, std::int32_t pid);
void UnmapPid(IMPEG2PIDMap* pidMap, std::int32_t pid);
// Unmaps the PIDs of one pin, as many as one enumeration call of 8 entries returns.
void UnmapAllPids(IMPEG2PIDMap* pidMap);
// Carries out a planned channel change: unmaps the video, audio and AC-3 pins,
// gives the pins the codecs of the new channel when they differ (codec_pins.h),
// retunes when the plan says so, then maps the video PID and, when there is one, the
// audio PID.
void ApplyChannelSwitch(const ChannelSwitch& plan);
