#pragma once
// Local civil time for timers. A daily 20:00 timer means 20:00 on the wall clock
// on both sides of a daylight-saving change, so repetitions are computed in local
// time through a rule of the time zone, given from outside so that the rules can
// be checked on any machine.
#include <cstdint>
#include <optional>

struct LocalDateTime {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class TimeZoneRule {
public:
    virtual ~TimeZoneRule() = default;
    // Local time minus UTC at the UTC instant `utc`, in seconds.
    virtual int OffsetAt(std::int64_t utc) const = 0;
};

// France: UTC+1, and UTC+2 from the last Sunday of March 01:00 UTC to the last
// Sunday of October 01:00 UTC (the European rule since 1996).
class EuropeParisRule final : public TimeZoneRule {
public:
    int OffsetAt(std::int64_t utc) const override;
};
const TimeZoneRule& EuropeParis();

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);
// 0 for Monday to 6 for Sunday.
int WeekdayOfDays(std::int64_t days);
bool IsValidDate(int year, int month, int day);

LocalDateTime ToLocal(std::int64_t utc, const TimeZoneRule& zone);
// The UTC instant of a local date and time; nothing for a date that does not
// exist (31 April) or fields out of range. A time that the spring change skips
// (02:30) is taken an hour later on the clock (03:30); a time that the autumn
// change shows twice is its first showing, so it is never recorded twice.
std::optional<std::int64_t> ToUtc(const LocalDateTime& local, const TimeZoneRule& zone);
