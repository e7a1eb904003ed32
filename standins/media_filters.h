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
