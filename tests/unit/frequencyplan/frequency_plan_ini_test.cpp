// The frequency plan read from real INI files through the private-profile services.
#include "channels/frequency_plan_win.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "channels/chaine.h"
#include "channels/frequency_plan.h"

namespace {

class FrequencyPlanIni : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"brisome_plan_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir_.c_str(), nullptr);
        ini_ = dir_ + L"\\canaux.ini";
    }
    void TearDown() override
    {
        DeleteFileW(ini_.c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    // Writes the INI file as a user's editor would: 8-bit text, CR LF.
    void WriteIni(const std::string& text)
    {
        std::ofstream(std::filesystem::path(ini_), std::ios::binary) << text;
    }
    std::vector<std::int32_t> Build(const wchar_t* city)
    {
        std::vector<std::int32_t> f;
        BuildFrequencyList(city, ini_, f);
        return f;
    }

    std::wstring dir_;
    std::wstring ini_;
};

const char kTwoCities[] =
    "[Paris]\r\nR1=35\r\nR2=22\r\nR3=25\r\nR4=30\r\nR5=28\r\nR6=32\r\n"
    "[Besan\xE7on]\r\nR1=21\r\nR2=24\r\nR3=27\r\nR5=33\r\nR6=35\r\nAutre=99\r\n";

TEST_F(FrequencyPlanIni, CitySectionGivesItsSixFrequencies)
{
    WriteIni(kTwoCities);
    EXPECT_EQ(Build(L"Paris"),
              (std::vector<std::int32_t>{586166, 482166, 506166, 546166, 530166, 562166}));
    // No R4: the fourth frequency is the bare base, and the others stay.
    EXPECT_EQ(Build(L"Besançon"),
              (std::vector<std::int32_t>{474166, 498166, 522166, 306166, 570166, 586166}));
}

TEST_F(FrequencyPlanIni, UnknownCityOrMissingFileScansTheWholeBand)
{
    EXPECT_EQ(Build(L"Paris"), FullBandFrequencies());  // no file yet
    WriteIni(kTwoCities);
    EXPECT_EQ(Build(L"Lyon"), FullBandFrequencies());
    EXPECT_EQ(Build(kUnspecifiedCity), FullBandFrequencies());
    EXPECT_EQ(Build(nullptr), FullBandFrequencies());
}

TEST_F(FrequencyPlanIni, ZeroOrNonNumericFirstKeyScansTheWholeBand)
{
    WriteIni("[Zero]\r\nR1=0\r\nR2=24\r\nR3=27\r\nR4=30\r\nR5=33\r\nR6=35\r\n"
             "[Texte]\r\nR1=abc\r\nR2=24\r\n");
    EXPECT_EQ(Build(L"Zero"), FullBandFrequencies());
    EXPECT_EQ(Build(L"Texte"), FullBandFrequencies());
}

TEST_F(FrequencyPlanIni, DefaultFormAppendsToFrequencesFromTheCurrentDirectory)
{
    WriteIni(kTwoCities);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str()));
    const std::wstring path = FrequencyPlanPath();
    const std::vector<std::int32_t> saved = Frequences;
    Frequences.clear();
    BuildFrequencyList(L"Paris");
    const std::vector<std::int32_t> built = Frequences;
    Frequences = saved;
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(path, dir_ + L"\\canaux.ini");
    ASSERT_EQ(built.size(), 6u);
    EXPECT_EQ(built[0], 586166);
}

TEST_F(FrequencyPlanIni, CityListStartsWithTheFullBandEntryThenSectionsInFileOrder)
{
    EXPECT_EQ(ReadCityList(ini_), std::vector<std::wstring>{kUnspecifiedCity});
    WriteIni(kTwoCities);
    EXPECT_EQ(ReadCityList(ini_), (std::vector<std::wstring>{kUnspecifiedCity, L"Paris", L"Besançon"}));
    EXPECT_STREQ(kUnspecifiedCity, L"Non pr\u00E9cis\u00E9e (scanne tous les canaux)");
}

TEST_F(FrequencyPlanIni, CityListStopsAtTheReadBuffer)
{
    // 1000 sections of 16 characters each need far more than 8192 characters.
    std::string text;
    for (int i = 0; i < 1000; ++i) {
        char name[32];
        snprintf(name, sizeof name, "[Ville%010d]\r\nR1=21\r\n", i);
        text += name;
    }
    WriteIni(text);
    const std::vector<std::wstring> cities = ReadCityList(ini_);
    ASSERT_GT(cities.size(), 400u);
    ASSERT_LT(cities.size(), 520u);
    EXPECT_EQ(cities[1], L"Ville0000000000");
    std::size_t total = 0;
    for (std::size_t i = 1; i < cities.size(); ++i)
        total += cities[i].size() + 1;
    EXPECT_LE(total, 8192u);
}

TEST_F(FrequencyPlanIni, FillsARealComboBox)
{
    WriteIni(kTwoCities);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.c_str()));

    constexpr int kComboId = 1001;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 150, 100, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboId)),
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(combo, nullptr);
    FillCityList(parent, kComboId);
    SetCurrentDirectoryW(previous);

    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)), L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        entries.push_back(text);
    }
    DestroyWindow(parent);
    EXPECT_EQ(entries, (std::vector<std::wstring>{kUnspecifiedCity, L"Paris", L"Besançon"}));
}

}  // namespace
