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
// Tunes again to the last frequency asked for: after the graph was stopped and run
// again, a USB tuner that powered down has forgotten it. S_FALSE before any tuning.
HRESULT RetuneCurrentFrequency();
// Maps or unmaps one PID as an elementary stream; nothing on a null pin.
void MapElementaryStream(IMPEG2PIDMap* pidMap, std::int32_t pid);
void UnmapPid(IMPEG2PIDMap* pidMap, std::int32_t pid);
// Unmaps the PIDs of one pin, as many as one enumeration call of 8 entries returns.
void UnmapAllPids(IMPEG2PIDMap* pidMap);
// Carries out a planned channel change: unmaps the video, audio and AC-3 pins,
// retunes when the plan says so, gives the pins the codecs of the new channel when
// they differ (codec_pins.h: the new multiplex is already flowing, for a pin that
// reads its format from the stream), tunes again when that stopped the graph, then
// maps the video PID and, when there is one, the audio PID.
void ApplyChannelSwitch(const ChannelSwitch& plan);
