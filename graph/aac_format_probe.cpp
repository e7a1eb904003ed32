#include "graph/aac_format_probe.h"

#include "graph/aac_probe.h"
#include "graph/graph_handles.h"

bool ProbeAacFormat(std::uint16_t pid, unsigned timeoutMs, AudioFormat& format)
{
    // The probe only looks: the packets keep flowing to the demultiplexer and the
    // recorders while it waits for the first whole ADTS header of the PID.
    AacProbe probe(pid);
    transportTap.Subscribe(&probe);
    const bool found = WaitForAacFormat(probe, timeoutMs, format);
    transportTap.Unsubscribe(&probe);
    return found;
}
