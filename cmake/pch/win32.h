// The Windows and DirectShow headers that the Win32/COM glue includes.
#pragma GCC system_header
#include <windows.h>
#include <dshow.h>
