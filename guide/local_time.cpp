#include "guide/local_time.h"

#include <cstdio>

void FormatClockText(int hour, int minute, int second, char (&text)[32])
{
    std::snprintf(text, sizeof text, "%02i:%02i:%02i", hour, minute, second);
}
