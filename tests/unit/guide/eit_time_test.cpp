#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "guide/eit_text.h"
#include "guide/eit_time.h"
#include "guide/local_time.h"
#include "guide/mjd.h"

namespace {

constexpr std::uint64_t kSecond = kFileTimeTicksPerSecond;
// 1 January 1970 and 17 November 1858 (MJD 0) on the file-time scale.
constexpr std::uint64_t kUnixEpoch = 116444736000000000ull;
constexpr std::uint64_t kMjdEpochDays = 94187;

TEST(EitTime, EtsiExampleStartField)
{
    const CalendarDate d = MjdToDate(0xC079);
    EXPECT_EQ(d.year, 1993);
    EXPECT_EQ(d.month, 10);
    EXPECT_EQ(d.day, 13);
    const std::uint8_t field[5] = {0xC0, 0x79, 0x12, 0x45, 0x00};
    EXPECT_EQ(EitStartToFileTime(field), 123949899000000000ull);
}

TEST(EitTime, EveryMjdOfSixteenBitsSinceMarch1900IsTheRightDay)
{
    // The annex's formula holds from 1 March 1900; counting days on the
    // file-time scale checks it (and the calendar arithmetic) day by day.
    for (unsigned mjd = 15079; mjd <= 0xFFFF; ++mjd) {
        const std::uint64_t t = UtcToFileTime(MjdToDate(static_cast<std::uint16_t>(mjd)), ClockTime{0, 0, 0});
        ASSERT_EQ(t / kSecond / 86400, kMjdEpochDays + mjd) << "MJD " << mjd;
    }
    const CalendarDate leap = MjdToDate(51603);
    EXPECT_EQ(leap.month * 100 + leap.day, 229);
    const CalendarDate last = MjdToDate(65535);
    EXPECT_EQ(last.year * 10000 + last.month * 100 + last.day, 20380422);
}

TEST(EitTime, InvalidDatesAndTimesGiveZero)
{
    EXPECT_EQ(UtcToFileTime({1970, 1, 1}, {0, 0, 0}), kUnixEpoch);
    EXPECT_EQ(UtcToFileTime({1601, 1, 1}, {0, 0, 1}), kSecond);
    EXPECT_EQ(UtcToFileTime({1900, 2, 29}, {0, 0, 0}), 0u);
    EXPECT_NE(UtcToFileTime({2000, 2, 29}, {0, 0, 0}), 0u);
    EXPECT_EQ(UtcToFileTime({2024, 13, 1}, {0, 0, 0}), 0u);
    EXPECT_EQ(UtcToFileTime({2024, 0, 1}, {0, 0, 0}), 0u);
    EXPECT_EQ(UtcToFileTime({2024, 4, 31}, {0, 0, 0}), 0u);
    EXPECT_EQ(UtcToFileTime({1600, 12, 31}, {0, 0, 0}), 0u);
    EXPECT_EQ(UtcToFileTime({2024, 1, 1}, {24, 0, 0}), 0u);
    EXPECT_EQ(UtcToFileTime({2024, 1, 1}, {0, 60, 0}), 0u);

    const std::uint8_t undefined[5] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(EitStartToFileTime(undefined), 0u);
    const std::uint8_t badDigit[5] = {0xC0, 0x79, 0x1A, 0x00, 0x00};
    EXPECT_EQ(EitStartToFileTime(badDigit), 0u);
    const std::uint8_t beforeFormula[5] = {0x00, 0x00, 0x00, 0x00, 0x00};
    EitStartToFileTime(beforeFormula);  // whatever it gives, it must not fault

    const std::uint8_t ninetyHours[3] = {0x90, 0x30, 0x15};
    EXPECT_EQ(EitDurationSeconds(ninetyHours), 90 * 3600 + 30 * 60 + 15);
    const std::uint8_t badMinutes[3] = {0x01, 0x60, 0x00};
    EXPECT_EQ(EitDurationSeconds(badMinutes), -1);
}

TEST(EitText, SelectorByteAndBounds)
{
    char title[256];
    const std::uint8_t latin5[] = {0x05, 'J', 'o', 'u', 'r'};
    CopyEitText(sizeof latin5, latin5, title);
    EXPECT_STREQ(title, "Jour");

    const std::uint8_t unicode[] = {0x10, 0x00, 0x0F, 'A'};
    CopyEitText(sizeof unicode, unicode, title);
    EXPECT_EQ(0, std::memcmp(title, unicode, 4));
    EXPECT_EQ(title[4], '\0');

    CopyEitText(0, latin5, title);
    EXPECT_STREQ(title, "");
    CopyEitText(1, latin5, title);
    EXPECT_STREQ(title, "");

    std::uint8_t longName[300];
    std::memset(longName, 'z', sizeof longName);
    CopyEitText(255, longName, title);
    EXPECT_EQ(std::string(title), std::string(255, 'z'));
    char guard[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
    CopyEitText(300, longName, guard, 4);
    EXPECT_STREQ(guard, "zzz");
    EXPECT_EQ(guard[4], '#');
}

TEST(EitText, ClockText)
{
    char text[32];
    FormatClockText(9, 5, 3, text);
    EXPECT_STREQ(text, "09:05:03");
    FormatClockText(23, 59, 59, text);
    EXPECT_STREQ(text, "23:59:59");
}

}  // namespace
