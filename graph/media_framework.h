#pragma once
// What the program needs of the media framework that mingw's headers and import
// libraries lack or get wrong, gathered in one place: the sections-and-tables
// interfaces (declared in the SDK's vtable order), and identifiers that the import
// libraries do not define.
#include <windows.h>

#include "graph/mpeg2_data.h"

// Device categories of BDA tuners and receivers (values of the Windows SDK).
EXTERN_C const GUID KSCATEGORY_BDA_NETWORK_TUNER;
EXTERN_C const GUID KSCATEGORY_BDA_RECEIVER_COMPONENT;

// Defined in libstrmiids, but qedit.h does not declare it.
EXTERN_C const CLSID CLSID_SampleGrabber;
