#pragma once
// Adding filters to the graph and connecting them pin to pin.
#include <windows.h>
#include <dshow.h>

// Creates the filter in process and adds it to the graph under `name`. The caller
// owns the returned reference; null when either step fails.
IBaseFilter* CreateFilter(const CLSID& clsid, const wchar_t* name);

// Connects the first free output pin of `upstream` to the first free input pin
// of `downstream` directly, letting the two pins negotiate the media type.
HRESULT ConnectFilters(IBaseFilter* upstream, IBaseFilter* downstream);
