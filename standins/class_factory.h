#pragma once
// The class object of every registered device.
#include <windows.h>
#include <unknwn.h>

#include "standins/catalogue.h"
#include "standins/media_filters.h"

// A new class object for the device or filter, with one reference, or null when out
// of memory.
IClassFactory* CreateClassFactory(const DeviceEntry& device);
IClassFactory* CreateClassFactory(const MediaFilterEntry& filter);
