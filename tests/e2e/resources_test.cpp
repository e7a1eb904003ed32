// The program's resources as stored in the executable: accelerators, icon, manifest.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "program_driver.h"

namespace {

class ProgramResources : public testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, AcceleratorTableHoldsTheKeysInOrder)
{
    HACCEL table = LoadAcceleratorsW(module_, MAKEINTRESOURCEW(105));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32];
    const int n = CopyAcceleratorTableW(table, entries, 32);
    const ACCEL expected[] = {
        {FVIRTKEY | FNOINVERT | FCONTROL, '3', 40016}, {FVIRTKEY | FNOINVERT | FALT, 'T', 40029},
        {FVIRTKEY | FNOINVERT | FCONTROL, '1', 40018}, {FVIRTKEY | FNOINVERT, VK_SPACE, 40015},
        {FVIRTKEY | FNOINVERT, 'M', 40020},            {FVIRTKEY | FNOINVERT | FCONTROL, VK_SPACE, 40011},
        {FVIRTKEY | FNOINVERT | FCONTROL, 'M', 40012}, {FVIRTKEY | FNOINVERT | FCONTROL, 'X', 40014},
        {FVIRTKEY | FNOINVERT | FCONTROL, '2', 40013}, {FVIRTKEY | FNOINVERT | FCONTROL, VK_RETURN, 40017},
        {FVIRTKEY | FNOINVERT, 'G', 40043},            {FVIRTKEY | FNOINVERT | FCONTROL, 'G', 40048},
        {FVIRTKEY | FNOINVERT | FCONTROL, 'R', 40051},
        {FVIRTKEY | FNOINVERT, 'S', 40077},
        {FVIRTKEY | FNOINVERT | FCONTROL, 'O', 40054}, {FVIRTKEY | FNOINVERT, 'P', 40055},
        {FVIRTKEY | FNOINVERT, VK_PAUSE, 40055},
    };
    ASSERT_EQ(n, 17);
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        EXPECT_EQ(entries[i].fVirt, expected[i].fVirt);
        EXPECT_EQ(entries[i].key, expected[i].key);
        EXPECT_EQ(entries[i].cmd, expected[i].cmd);
    }
    DestroyAcceleratorTable(table);
}

TEST_F(ProgramResources, IconIsOne32By32ImageOf32Bits)
{
    HRSRC group = FindResourceW(module_, MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module_, group)));
    ASSERT_NE(dir, nullptr);
    // GRPICONDIR: reserved, type, count; then 14-byte entries.
    const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
    ASSERT_EQ(count, 1);
    const BYTE* entry = dir + 6;
    EXPECT_EQ(entry[0], 32);                                        // width
    EXPECT_EQ(entry[1], 32);                                        // height
    EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32);       // bits per pixel
}

TEST_F(ProgramResources, ManifestAsksForCommonControlsSix)
{
    HRSRC res = FindResourceW(module_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(res, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(module_, res)));
    const std::string manifest(text, SizeofResource(module_, res));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

TEST_F(ProgramResources, MenuAndAcceleratorsAreFrench)
{
    HRSRC menu = FindResourceExW(module_, MAKEINTRESOURCEW(4), MAKEINTRESOURCEW(102),  // RT_MENU
                                 MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH));
    EXPECT_NE(menu, nullptr);
    HRSRC accel = FindResourceExW(module_, MAKEINTRESOURCEW(9), MAKEINTRESOURCEW(105),  // RT_ACCELERATOR
                                  MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH));
    EXPECT_NE(accel, nullptr);
}

}  // namespace
