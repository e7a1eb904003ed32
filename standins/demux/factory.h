#pragma once
// What the stand-ins DLL exposes of the two filters: creation for its class
// factory, and the filter-mapper data for its registration.
#include <dshow.h>

#include "graph/filterbase/base_filter.h"

// CLSID_MPEG2Demultiplexer: the MPEG-2 demultiplexer stand-in.
HRESULT CreateStandinDemux(IUnknown* outer, REFIID iid, void** out);
// CLSID_Mpeg2Data: the sections-and-tables stand-in.
HRESULT CreateStandinMpeg2Data(IUnknown* outer, REFIID iid, void** out);

// Class id, friendly name and pins with their media types, merit MERIT_NORMAL,
// for IFilterMapper2::RegisterFilter (CLSID_LegacyAmFilterCategory).
const FilterSetup& StandinDemuxSetup();
const FilterSetup& StandinMpeg2DataSetup();
