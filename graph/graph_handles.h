#pragma once
// Shared handles of the capture graph that exist so far. Each holds one reference,
// null until set; DestroyGraph releases them (it must run before COM is uninitialised).
#include <dshow.h>

#include "graph/com_ptr.h"

// The configured tuner, and the configured receiver of a two-filter device (else null).
// Set by DetectTuner.
inline ComPtr<IBaseFilter> tunerFilter;
inline ComPtr<IBaseFilter> receiverFilter;
