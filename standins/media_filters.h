#pragma once
// The media filters that the stand-ins DLL serves besides the tuner devices: the
// MPEG-2 demultiplexer, the sections-and-tables filter, the three decoders and the
// video renderer.
#include <windows.h>
#include <unknwn.h>

#include <span>

#include "graph/filterbase/base_filter.h"

struct MediaFilterEntry {
    const FilterSetup* setup;  // class id, friendly name, filter-mapper data
    HRESULT (*create)(IUnknown* outer, REFIID iid, void** out);
};

std::span<const MediaFilterEntry> MediaFilters();
// The entry of a class, or null.
const MediaFilterEntry* FindMediaFilter(REFCLSID classId);

namespace standins { struct StandinSwitches; }

// Whether the switches take the class away from this process: the sections-and-tables
// filter is gone from Windows 7 on, and a PC may have no MPEG-2 video or AC-3 decoder.
// The class stays registered (one registration serves every switch); it is the
// creation that fails, as for a registration whose server is gone.
bool MediaFilterWithdrawn(REFCLSID classId, const standins::StandinSwitches& switches);
