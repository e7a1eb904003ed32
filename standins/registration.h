#pragma once
// Registration of the stand-ins: each class as an in-process server of this DLL, and each
// device in its BDA category through the filter mapper, so that the system device
// enumerator lists it under its friendly name.
#include <windows.h>

HRESULT RegisterStandins();
// Removes every registration of the stand-ins; what is already gone is no error.
HRESULT UnregisterStandins();
