// Names of recordings and snapshots: safe whatever the channel is called, never
// outside the folder, never the name of an earlier file.
#include <gtest/gtest.h>

#include "record/file_naming.h"

namespace {

const FileTime kSeventhOfMarch{7, 3, 20, 5, 9};

TEST(FileNaming, ChannelNameAndDateDayBeforeMonth)
{
    EXPECT_EQ(DatedStem(L"TV5", kSeventhOfMarch), L"TV5 07-03 20-05-09");
    EXPECT_EQ(CandidatePath(L"D:\\Vid\u00e9os", DatedStem(L"TV5", kSeventhOfMarch), L".mpg", 1),
              L"D:\\Vid\u00e9os\\TV5 07-03 20-05-09.mpg");
    EXPECT_EQ(DatedStem(L"Transport Stream", FileTime{31, 12, 0, 0, 0}), L"Transport Stream 31-12 00-00-00");
}

TEST(FileNaming, ForbiddenCharactersAreReplacedAndTrailingDotsTrimmed)
{
    EXPECT_EQ(SafeNamePart(L"A/B\\C:D*E?F\"G<H>I|J"), L"A_B_C_D_E_F_G_H_I_J");
    EXPECT_EQ(SafeNamePart(std::wstring(L"Tab\tNul\x01" L"End")), L"Tab_Nul_End");
    EXPECT_EQ(SafeNamePart(L"Canal+ . . "), L"Canal+");
    EXPECT_EQ(SafeNamePart(L"Savoirs & D\u00e9couvertes"), L"Savoirs & D\u00e9couvertes");
    // A name made only of forbidden characters still gives a usable name.
    EXPECT_EQ(SafeNamePart(L"???"), L"___");
    // Nothing left: the file is named by its date alone.
    EXPECT_EQ(SafeNamePart(L" . .."), L"");
    EXPECT_EQ(DatedStem(L"...", kSeventhOfMarch), L"07-03 20-05-09");
    // Very long names are cut well within a path component's 255 characters.
    EXPECT_LE(DatedStem(std::wstring(255, L'x'), kSeventhOfMarch).size() + 10, 255u);
}

TEST(FileNaming, ReservedDeviceNamesAreAvoided)
{
    for (const wchar_t* reserved : {L"CON", L"nul", L"Aux", L"PRN", L"COM1", L"lpt9", L"CON.tv", L"NUL  .x", L"COM\u00b9"})
        EXPECT_EQ(SafeNamePart(reserved)[0], L'_') << reserved;
    for (const wchar_t* fine : {L"CONTACT", L"COM10", L"Console", L"NULL TV", L"LPT"})
        EXPECT_EQ(SafeNamePart(fine), fine);
}

TEST(FileNaming, NoNameLeavesTheFolder)
{
    for (const wchar_t* name : {L"..", L"..\\..\\Windows\\x", L"../etc", L"C:\\Temp", L"\\\\server\\share"}) {
        const std::wstring path = CandidatePath(L"C:\\Rec", DatedStem(name, kSeventhOfMarch), L".mpg", 1);
        const std::wstring inside = path.substr(std::wstring(L"C:\\Rec\\").size());
        EXPECT_EQ(path.rfind(L"C:\\Rec\\", 0), 0u) << name;
        EXPECT_EQ(inside.find_first_of(L"\\/:"), std::wstring::npos) << name;
    }
}

TEST(FileNaming, OneSeparatorBetweenFolderAndName)
{
    EXPECT_EQ(JoinPath(L"D:\\", L"a.bmp"), L"D:\\a.bmp");
    EXPECT_EQ(JoinPath(L"D:/x/", L"a.bmp"), L"D:/x/a.bmp");
    EXPECT_EQ(JoinPath(L"D:\\x", L"a.bmp"), L"D:\\x\\a.bmp");
    EXPECT_EQ(JoinPath(L"", L"a.bmp"), L"a.bmp");
}

TEST(FileNaming, LaterCandidatesAreNumberedBeforeTheExtension)
{
    EXPECT_EQ(CandidatePath(L"D:\\", L"TV5 07-03 20-05-09", L".bmp", 2), L"D:\\TV5 07-03 20-05-09 (2).bmp");
    EXPECT_EQ(CandidatePath(L"D:\\", L"TV5 07-03 20-05-09", L".bmp", 17), L"D:\\TV5 07-03 20-05-09 (17).bmp");
}

}  // namespace
