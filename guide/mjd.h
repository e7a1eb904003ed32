#pragma once
// Dates of DVB service information, carried as a Modified Julian Date.
#include <cstdint>

struct CalendarDate {
    int year;
    int month;  // 1..12 for a date in the range the formula covers
    int day;
};

// Year, month and day of a Modified Julian Date, by the conversion of ETSI
// EN 300 468 annex C (valid from 1 March 1900 to 28 February 2100; outside
// that range the result may not be a real date).
CalendarDate MjdToDate(std::uint16_t mjd);
