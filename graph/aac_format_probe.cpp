#include "graph/aac_format_probe.h"

// The transport-stream tap that an AacProbe subscribes to is not part of the graph
// yet: until it is, no stream is read and every AAC pin keeps the default format.
bool ProbeAacFormat(std::uint16_t, unsigned, AudioFormat&)
{
    return false;
}
