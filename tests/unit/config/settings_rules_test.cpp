#include "config/settings_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsRules, PriorityTextsAreComparedWholeAndCaseSensitively)
{
    EXPECT_EQ(PriorityCommandFromText(L"Haute"), 40033);
    EXPECT_EQ(PriorityCommandFromText(L"Normale"), 40034);
    EXPECT_EQ(PriorityCommandFromText(L"Inf\u00e9rieure"), 40040);
    EXPECT_EQ(PriorityCommandFromText(L"Sup\u00e9rieure"), 40039);
    for (const wchar_t* other : {L"", L"normale", L"HAUTE", L"Normale ", L"Inferieure", L"Basse"})
        EXPECT_EQ(PriorityCommandFromText(other), 40039) << other;
}

TEST(SettingsRules, PriorityIsStoredFromTheProcessClass)
{
    EXPECT_STREQ(PriorityTextFor(PriorityLevel::Normal), L"Normale");
    EXPECT_STREQ(PriorityTextFor(PriorityLevel::High), L"Haute");
    EXPECT_STREQ(PriorityTextFor(PriorityLevel::BelowNormal), L"Inf\u00e9rieure");
    EXPECT_STREQ(PriorityTextFor(PriorityLevel::AboveNormal), L"Sup\u00e9rieure");
    EXPECT_STREQ(PriorityTextFor(PriorityLevel::Other), L"Sup\u00e9rieure");  // idle, real-time
}

TEST(SettingsRules, OnlyExactVraiSetsAFlag)
{
    EXPECT_TRUE(FlagFromText(L"Vrai", false));
    EXPECT_FALSE(FlagFromText(L"vrai", false));
    EXPECT_FALSE(FlagFromText(L"Faux", false));
    EXPECT_TRUE(FlagFromText(L"Faux", true));  // other texts leave the flag as it was
    EXPECT_STREQ(FlagText(true), L"Vrai");
    EXPECT_STREQ(FlagText(false), L"Faux");
}

}  // namespace
