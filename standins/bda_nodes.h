#pragma once
// The control nodes of a virtual tuner's topology, handed out by IBDA_Topology::
// GetControlNode: the RF node answers IBDA_FrequencyFilter, the demodulator node
// IBDA_SignalStatistics. A node keeps the tuner's state alive for as long as it lives.
#include <windows.h>
#include <dshow.h>
#include <bdatypes.h>
#include <bdaiface.h>

#include "standins/tuner_core.h"

enum NodeType : ULONG {
    kFrequencyNode = 0,
    kStatisticsNode = 1,
};

// A new node of that type with one reference for the caller, or null when out of memory.
IUnknown* CreateControlNode(NodeType type, TunerCorePtr core);
