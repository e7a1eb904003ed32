#pragma once
// Tuning through the tuner's BDA control nodes, and channel switching.
#include <windows.h>

#include <cstdint>

struct IMPEG2PIDMap;

// StartChanges, bandwidth 8 MHz, frequency, CheckChanges, CommitChanges; returns
// the commit's result. Does nothing (E_POINTER) without the tuning interfaces.
HRESULT TuneFrequency(std::uint32_t frequencyKHz);
// Unmaps the PIDs of one pin, as many as one enumeration call of 8 entries returns.
void UnmapAllPids(IMPEG2PIDMap* pidMap);
// Makes channel `index` current: retunes only across multiplexes, then maps its PIDs.
void SelectChannel(std::int32_t index);
// Selects the first channel whose Numero is `number`; nothing when none has it.
void SelectChannelByNumber(std::int32_t number);
