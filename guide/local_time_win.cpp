#include "guide/local_time_win.h"

#include <windows.h>

void WindowsLocalTimeFormatter::Format(std::uint64_t utcFileTime, char (&text)[32]) const
{
    text[0] = '\0';
    FILETIME utc;
    utc.dwLowDateTime = static_cast<DWORD>(utcFileTime & 0xFFFFFFFFu);
    utc.dwHighDateTime = static_cast<DWORD>(utcFileTime >> 32);
    FILETIME local;
    SYSTEMTIME clock;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &clock))
        return;
    FormatClockText(clock.wHour, clock.wMinute, clock.wSecond, text);
}
