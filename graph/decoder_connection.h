#pragma once
// A decoder between a demultiplexer pin and its renderer.
#include <windows.h>
#include <dshow.h>

#include "common/com_ptr.h"

// The configured decoder between `pin` and `renderer` (found by its name in
// `setting` for `major`/`subtype`, added as `decoderName` and kept in `decoder`),
// or, when none is configured, whatever chain the graph finds from `pin` to the
// renderers already in it. With `onlyThisRenderer`, that chain must end in
// `renderer`: once the graph holds both sound renderers, one of them may be free
// for a moment, and a chain that took the other branch's renderer would leave that
// branch without one. Returns the failure message, "" for a silent failure, or
// nullptr on success.
const wchar_t* ConnectDecoder(IPin* pin, const GUID& major, const GUID& subtype, const wchar_t* setting,
                              const wchar_t* decoderName, ComPtr<IBaseFilter>& decoder, IBaseFilter* renderer,
                              const wchar_t* connectFailure, const wchar_t* renderFailure,
                              bool onlyThisRenderer = false);
