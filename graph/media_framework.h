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

// Subtypes of today's broadcast codecs, which mingw-w64's headers do not define
// (values of the Windows SDK; the FOURCC and wave-format ones follow the usual
// {XXXXXXXX-0000-0010-8000-00AA00389B71} pattern).
EXTERN_C const GUID MEDIASUBTYPE_H264;             // 'H264'
EXTERN_C const GUID MEDIASUBTYPE_HEVC;             // 'HEVC'
EXTERN_C const GUID MEDIASUBTYPE_MPEG_ADTS_AAC;    // WAVE_FORMAT_MPEG_ADTS_AAC, 0x1600
EXTERN_C const GUID MEDIASUBTYPE_MPEG_LOAS;        // WAVE_FORMAT_MPEG_LOAS (AAC in LATM), 0x1602
EXTERN_C const GUID MEDIASUBTYPE_DOLBY_DDPLUS;     // E-AC-3
