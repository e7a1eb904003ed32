#include "tools/tsgen/utc_time.h"

#include <cctype>

namespace tsgen {
namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Reads exactly `digits` decimal digits at `pos`.
std::optional<int> Digits(std::string_view s, std::size_t& pos, std::size_t digits)
{
    if (pos + digits > s.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = s[pos + i];
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return value;
}

bool Expect(std::string_view s, std::size_t& pos, char c)
{
    if (pos < s.size() && s[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>((value / 10) << 4 | value % 10); }

}  // namespace

std::optional<std::int64_t> ParseUtc(std::string_view text)
{
    std::size_t pos = 0;
    const auto year = Digits(text, pos, 4);
    if (!year || !Expect(text, pos, '-'))
        return std::nullopt;
    const auto month = Digits(text, pos, 2);
    if (!month || !Expect(text, pos, '-'))
        return std::nullopt;
    const auto day = Digits(text, pos, 2);
    if (!day || !(Expect(text, pos, 'T') || Expect(text, pos, ' ')))
        return std::nullopt;
    const auto hour = Digits(text, pos, 2);
    if (!hour || !Expect(text, pos, ':'))
        return std::nullopt;
    const auto minute = Digits(text, pos, 2);
    if (!minute)
        return std::nullopt;
    int second = 0;
    if (Expect(text, pos, ':')) {
        const auto s = Digits(text, pos, 2);
        if (!s)
            return std::nullopt;
        second = *s;
    }
    if (pos != text.size() || *year < 1900 || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month) || *hour > 23 || *minute > 59 || second > 59)
        return std::nullopt;
    return DaysFromCivil(*year, *month, *day) * 86400 + *hour * 3600 + *minute * 60 + second;
}

std::optional<std::int32_t> ParseDuration(std::string_view text)
{
    std::size_t pos = 0;
    int hours = 0;
    std::size_t start = pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && pos - start < 2)
        hours = hours * 10 + (text[pos++] - '0');
    if (pos == start || !Expect(text, pos, ':'))
        return std::nullopt;
    const auto minutes = Digits(text, pos, 2);
    if (!minutes || *minutes > 59)
        return std::nullopt;
    int seconds = 0;
    if (Expect(text, pos, ':')) {
        const auto s = Digits(text, pos, 2);
        if (!s || *s > 59)
            return std::nullopt;
        seconds = *s;
    }
    if (pos != text.size())
        return std::nullopt;
    return hours * 3600 + *minutes * 60 + seconds;
}

std::array<std::uint8_t, 5> EncodeEitStart(std::int64_t utcSeconds)
{
    std::int64_t days = utcSeconds / 86400;
    std::int64_t rest = utcSeconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const std::int64_t mjd = days + 40587;  // MJD of 1970-01-01
    const int h = static_cast<int>(rest / 3600);
    const int m = static_cast<int>(rest / 60 % 60);
    const int s = static_cast<int>(rest % 60);
    return {static_cast<std::uint8_t>(mjd >> 8), static_cast<std::uint8_t>(mjd), Bcd(h), Bcd(m), Bcd(s)};
}

std::array<std::uint8_t, 3> EncodeEitDuration(std::int32_t seconds)
{
    const int h = seconds / 3600;
    return {Bcd(h % 100), Bcd(seconds / 60 % 60), Bcd(seconds % 60)};
}

}  // namespace tsgen
