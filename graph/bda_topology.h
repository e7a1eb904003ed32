#pragma once
// The BDA topology of a device filter: its output pin made when the driver waits to be
// asked for it, and its control nodes found between the pins the topology gave.
#include <windows.h>
#include <dshow.h>

#include "common/com_ptr.h"
#include "graph/bda_topology_plan.h"

// When `device` shows no output pin, creates it through IBDA_Topology and joins it to
// the input; then, or when the pin was there, gives the ids of the two pins. A device
// without IBDA_Topology gets 0 and 1, and is left to fail later if it needed more.
TopologyPins PrepareTopology(IBaseFilter* device);

// The interface `iid` (as that interface's pointer) of the first control node between
// `pins` whose node type offers it; null when none does.
ComPtr<IUnknown> FindControlNode(IBaseFilter* device, const TopologyPins& pins, const IID& iid);
