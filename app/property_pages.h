#pragma once
// The property frame of each filter of the "Filtres" menu.
#include <windows.h>
#include <dshow.h>

// Opens the platform's property frame for one graph filter, or tells why it cannot.
void ShowPropertyPages(IBaseFilter* filter, const wchar_t* caption);

// The property frame of the filter that a "Filtres" command (40004-40010) names.
void ShowFilterPropertyPages(int command);
