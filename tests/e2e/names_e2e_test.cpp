// Channel names sent in three character tables (the default table ISO 6937,
// UTF-8 and ISO 8859-15 behind their selector bytes), as a user reads them in
// the "Chaînes" menu and the status bar.
#include <windows.h>

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "installation.h"
#include "program_driver.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

// The items of the "Chaînes" pop-up: text to command identifier (the channel's index).
std::map<std::wstring, unsigned> ChannelMenuItems(HWND window, const std::wstring& workDir)
{
    std::map<std::wstring, unsigned> items;
    bool inChannels = false;
    for (const MenuEntry& entry : ReadMenuBar(window, workDir)) {
        if (entry.depth == 0)
            inChannels = entry.text == L"Cha\u00eenes";
        else if (inChannels && entry.kind == "item")
            items[entry.text] = entry.id;
    }
    return items;
}

TEST(Names, AccentedNamesOfEveryCharacterTableReadRightInTheMenuAndTheStatusBar)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    const std::map<std::wstring, unsigned> items = ChannelMenuItems(window, installation.Path());
    for (const wchar_t* name : {L"Télé Démo", L"Canal Étoile",                // default table
                                L"Océane TV",                                 // UTF-8
                                L"Cinéma Plus", L"Savoirs & Découvertes",     // ISO 8859-15
                                L"Sport Évasion", L"Télé Locale Démo"})       // default table
        EXPECT_EQ(items.count(name), 1u) << "no menu item reads " << testing::PrintToString(std::wstring(name));

    // The first channel by logical number is on the UTF-8 multiplex; then one of
    // each other table, each shown in the status bar with its picture.
    EXPECT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == L"Océane TV"; }, 10000))
        << testing::PrintToString(StatusBarChannelName(window));
    const struct {
        const wchar_t* name;
        const wchar_t* screenshot;
    } steps[] = {{L"Cinéma Plus", L"names-latin9.bmp"}, {L"Télé Démo", L"names-default-table.bmp"}};
    for (const auto& step : steps) {
        const auto item = items.find(step.name);
        if (item == items.end())
            continue;
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(item->second, 0), 0);
        EXPECT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == step.name; }, 5000))
            << testing::PrintToString(StatusBarChannelName(window));
        ASSERT_LT(item->second, channels.size());
        EXPECT_TRUE(WaitForPicture(window, installation.Path(),
                                   standin::TestPictureBackground(channels[item->second].Video), 10000,
                                   step.screenshot));
    }
}

}  // namespace
