#pragma once
// BDA category identifiers that mingw's import libraries lack (values of the Windows SDK).
#include <windows.h>

EXTERN_C const GUID KSCATEGORY_BDA_NETWORK_TUNER;
EXTERN_C const GUID KSCATEGORY_BDA_RECEIVER_COMPONENT;
