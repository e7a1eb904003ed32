#include "guide/mjd.h"

CalendarDate MjdToDate(std::uint16_t mjd)
{
    // The annex's formula, with its truncations toward zero (static_cast does that).
    const double m = mjd;
    const int y1 = static_cast<int>((m - 15078.2) / 365.25);
    const int yearDays = static_cast<int>(y1 * 365.25);
    const int m1 = static_cast<int>((m - 14956.1 - yearDays) / 30.6001);
    const int day = static_cast<int>(mjd) - 14956 - yearDays - static_cast<int>(m1 * 30.6001);
    const int k = (m1 == 14 || m1 == 15) ? 1 : 0;
    return CalendarDate{1900 + y1 + k, m1 - 1 - 12 * k, day};
}
