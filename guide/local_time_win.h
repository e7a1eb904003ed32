#pragma once
// Local time as Windows sees it: the time-zone bias in force now, daylight
// saving included, is applied to every instant (an event next winter is shown
// with this summer's offset, as the platform's conversion does).
#include "guide/local_time.h"

class WindowsLocalTimeFormatter final : public LocalTimeFormatter {
public:
    void Format(std::uint64_t utcFileTime, char (&text)[32]) const override;
};
