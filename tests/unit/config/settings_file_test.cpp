// LoadSettings/SaveSettings against a real config.ini in a scratch current directory.
#include <windows.h>

#include <cwchar>
#include <string>

#include <gtest/gtest.h>

#include "config/settings.h"
#include "resources/resource_ids.h"

namespace {

class SettingsFile : public testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryW(MAX_PATH, previous_);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        GetTempFileNameW(temp, L"cfg", 0, dir_);
        DeleteFileW(dir_);
        CreateDirectoryW(dir_, nullptr);
        SetCurrentDirectoryW(dir_);
        path_ = std::wstring(dir_) + L"\\config.ini";
        announceNowPlaying = false;
        alwaysOnTop = false;
        priorityCommand = 0;
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(previous_);
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(dir_);
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    }
    void Put(const wchar_t* key, const wchar_t* value)
    {
        WritePrivateProfileStringW(L"Config", key, value, path_.c_str());
    }
    std::wstring Get(const wchar_t* key)
    {
        wchar_t value[2048] = L"";
        GetPrivateProfileStringW(L"Config", key, L"<missing>", value, 2048, path_.c_str());
        return value;
    }

    wchar_t previous_[MAX_PATH];
    wchar_t dir_[MAX_PATH];
    std::wstring path_;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaultsAndASaveCreatesEveryKey)
{
    LoadSettings();
    EXPECT_STREQ(tunerName, L"");
    EXPECT_STREQ(city, L"");
    EXPECT_EQ(strictSearch, 1);
    EXPECT_EQ(startChannelIndex, 0);
    EXPECT_STREQ(videoFolder, dir_);
    EXPECT_STREQ(snapshotFolder, dir_);
    EXPECT_FALSE(announceNowPlaying);
    EXPECT_FALSE(alwaysOnTop);
    EXPECT_EQ(priorityCommand, IDM_PRIORITY_ABOVE);
    // Loading only reads: the process keeps its priority until start-up applies it.
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));

    SetPriorityClass(GetCurrentProcess(), ABOVE_NORMAL_PRIORITY_CLASS);
    SaveSettings(-1);
    EXPECT_EQ(Get(L"Tuner TNT"), L"");
    EXPECT_EQ(Get(L"Recherche stricte"), L"1");
    EXPECT_EQ(Get(L"Index chaine courante"), L"-1");
    EXPECT_EQ(Get(L"R\u00e9pertoire screenshots"), dir_);
    EXPECT_EQ(Get(L"Priorit\u00e9"), L"Sup\u00e9rieure");
    EXPECT_EQ(Get(L"Envoie programme regard\u00e9 \u00e0 MSN"), L"Faux");
    EXPECT_EQ(Get(L"Fen\u00eatre toujours devant"), L"Faux");
}

TEST_F(SettingsFile, ValuesAreReadAndWrittenBackByTheirRules)
{
    Put(L"Tuner TNT", L"Tuner \u00e9l\u00e9gant");
    Put(L"Recherche stricte", L"5");
    Put(L"Index chaine courante", L"7");
    Put(L"Priorit\u00e9", L"Haute");
    Put(L"Envoie programme regard\u00e9 \u00e0 MSN", L"Vrai");
    Put(L"Fen\u00eatre toujours devant", L"vrai");  // only the exact "Vrai" counts
    Put(L"R\u00e9pertoire vid\u00e9o", L"C:\\Vid\u00e9os");
    LoadSettings();
    EXPECT_STREQ(tunerName, L"Tuner \u00e9l\u00e9gant");
    EXPECT_EQ(strictSearch, 5);
    EXPECT_EQ(startChannelIndex, 7);
    EXPECT_TRUE(announceNowPlaying);
    EXPECT_FALSE(alwaysOnTop);
    EXPECT_STREQ(videoFolder, L"C:\\Vid\u00e9os");
    EXPECT_EQ(priorityCommand, IDM_PRIORITY_HIGH);

    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    SaveSettings(3);
    EXPECT_EQ(Get(L"Tuner TNT"), L"Tuner \u00e9l\u00e9gant");
    EXPECT_EQ(Get(L"Recherche stricte"), L"1");
    EXPECT_EQ(Get(L"Index chaine courante"), L"3");
    EXPECT_EQ(Get(L"Priorit\u00e9"), L"Haute");
    EXPECT_EQ(Get(L"Envoie programme regard\u00e9 \u00e0 MSN"), L"Vrai");
    EXPECT_EQ(Get(L"Fen\u00eatre toujours devant"), L"Faux");
}

TEST_F(SettingsFile, LongValuesAreCutToTheirCapacity)
{
    Put(L"Ville", std::wstring(400, L'v').c_str());
    Put(L"R\u00e9pertoire vid\u00e9o", std::wstring(700, L'd').c_str());
    LoadSettings();
    EXPECT_EQ(std::wcslen(city), 255u);
    EXPECT_EQ(std::wcslen(videoFolder), 511u);
}

TEST_F(SettingsFile, IdleOrRealTimePriorityIsSavedAsSuperieure)
{
    LoadSettings();
    SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
    SaveSettings(0);
    EXPECT_EQ(Get(L"Priorit\u00e9"), L"Sup\u00e9rieure");
    SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
    SaveSettings(0);
    EXPECT_EQ(Get(L"Priorit\u00e9"), L"Inf\u00e9rieure");
}

TEST_F(SettingsFile, LockWaitIsReadWithItsBoundsAndWrittenOnlyWhenNotTheDefault)
{
    struct Case {
        const wchar_t* stored;  // null: no key
        std::uint32_t loaded;
        const wchar_t* saved;
    } cases[] = {
        {nullptr, 5000, L"<missing>"},
        {L"2500", 2500, L"2500"},
        {L"0", 0, L"0"},
        {L"90000", 60000, L"60000"},
        {L"99999999999999999999", 60000, L"60000"},
        {L"-3", 5000, L"-3"},  // not a count: the default, and the user's text is left alone
        {L"3 s", 5000, L"3 s"},
    };
    for (const Case& c : cases) {
        DeleteFileW(path_.c_str());
        if (c.stored)
            Put(L"Attente verrouillage", c.stored);
        LoadSettings();
        EXPECT_EQ(lockWaitMs, c.loaded) << (c.stored ? c.stored : L"(none)");
        SaveSettings(0);
        EXPECT_EQ(Get(L"Attente verrouillage"), c.saved) << (c.stored ? c.stored : L"(none)");
    }
}

TEST_F(SettingsFile, MarginsAreWholeMinutesWrittenOnlyOnceChanged)
{
    struct Case {
        const wchar_t* key;
        int* value;
        const wchar_t* stored;  // null: no key
        int loaded;
        int set;  // -1: left as loaded
        const wchar_t* saved;
    } cases[] = {
        {L"Marge avant", &marginBefore, nullptr, 2, -1, L"<missing>"},
        {L"Marge apres", &marginAfter, nullptr, 10, -1, L"<missing>"},
        {L"Marge avant", &marginBefore, nullptr, 2, 0, L"0"},
        {L"Marge apres", &marginAfter, L"15", 15, -1, L"15"},
        {L"Marge apres", &marginAfter, L"15", 15, 10, L"10"},  // back to the default: still written
        {L"Marge avant", &marginBefore, L"5 min", 2, -1, L"5 min"},
        {L"Marge avant", &marginBefore, L"99999", 1440, -1, L"1440"},
    };
    for (const Case& c : cases) {
        DeleteFileW(path_.c_str());
        if (c.stored)
            Put(c.key, c.stored);
        LoadSettings();
        EXPECT_EQ(*c.value, c.loaded) << c.key << " " << (c.stored ? c.stored : L"(none)");
        if (c.set >= 0)
            *c.value = c.set;
        SaveSettings(0);
        EXPECT_EQ(Get(c.key), c.saved) << c.key << " " << (c.stored ? c.stored : L"(none)");
    }
}

}  // namespace
