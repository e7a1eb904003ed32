#include "config/list_choice.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::vector<std::wstring> kCities = {L"Non pr\u00e9cis\u00e9e (scanne tous les canaux)", L"Val-Fleuri", L"Val",
                                           L"\u00c9vreux", L"Paris"};

TEST(ListChoice, AnExactNameWinsOverAnEarlierEntryThatBeginsWithIt)
{
    EXPECT_EQ(ChooseEntry(kCities, L"Val"), 2);
    EXPECT_EQ(ChooseEntry(kCities, L"val-fleuri"), 1);
    // Case aside, accented capitals included.
    EXPECT_EQ(ChooseEntry(kCities, L"\u00e9VREUX"), 3);
    EXPECT_EQ(ChooseEntry(kCities, L"PARIS"), 4);
}

TEST(ListChoice, WithoutAnExactNameTheFirstEntryThatBeginsWithItIsChosen)
{
    EXPECT_EQ(ChooseEntry(kCities, L"va"), 1);
    EXPECT_EQ(ChooseEntry(kCities, L"Non pr\u00c9cis\u00e9e"), 0);
    EXPECT_EQ(ChooseEntry(kCities, L"Lyon"), -1);
    EXPECT_EQ(ChooseEntry(kCities, L"Paris 2"), -1);
    EXPECT_EQ(ChooseEntry({}, L""), -1);
}

TEST(ListChoice, AnEmptySettingSelectsNothing)
{
    // Whatever comes first in a list (the full-band city, any decoder) is not a choice.
    EXPECT_EQ(ChooseEntry(kCities, L""), -1);
    EXPECT_EQ(ChooseEntry({L"Brisome AAC Decoder"}, L""), -1);
}

TEST(ListChoice, TextsAreCutToWhatASettingHolds)
{
    EXPECT_EQ(CutToSetting(L"Tuner", 256), L"Tuner");
    const std::wstring exact(255, L'a');
    EXPECT_EQ(CutToSetting(exact, 256), exact);
    const std::wstring longer(300, L'\u00e9');
    EXPECT_EQ(CutToSetting(longer, 256), std::wstring(255, L'\u00e9'));
    EXPECT_EQ(CutToSetting(L"abc", 0), L"");
    EXPECT_EQ(CutToSetting(L"abc", 1), L"");

    // A surrogate pair straddling the limit is left out whole.
    std::wstring pair(254, L'a');
    pair += static_cast<wchar_t>(0xD83D);
    pair += static_cast<wchar_t>(0xDCFA);
    EXPECT_EQ(CutToSetting(pair, 256), std::wstring(254, L'a'));
}

}  // namespace
