#pragma once
// The format of an AAC stream as its own headers give it, read from the transport
// stream ahead of the demultiplexer.
#include <cstdint>

#include "graph/adts_header.h"

// Waits up to `timeoutMs` for the first ADTS header of `pid` in the tuned multiplex;
// false (and `format` untouched) when none came, and the pin keeps its defaults.
bool ProbeAacFormat(std::uint16_t pid, unsigned timeoutMs, AudioFormat& format);
