// Changing channels without the menu: typed numbers, the arrow keys and the wheel.
#include <windows.h>

#include <gtest/gtest.h>

#include "installation.h"
#include "program_driver.h"

namespace {

void PressKey(HWND window, WPARAM key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
}

void TurnWheel(HWND window, short delta)
{
    PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), 0);
}

TEST(Navigation, TypedNumbersArrowsAndWheelChangeTheChannel)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    ASSERT_GE(channels.size(), 3u);
    const int fifteen = FindByNumero(channels, 15);
    ASSERT_GT(fifteen, 0);
    const int last = static_cast<int>(channels.size()) - 1;

    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    auto shows = [&](int index, DWORD timeoutMs = 5000) {
        return WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels[index]); }, timeoutMs);
    };
    // Start-up builds the graph and tunes before the first channel shows.
    ASSERT_TRUE(shows(0, 20000));

    // 1 then 5 (the second on the keypad): nothing yet, number 15 after a second.
    const DWORD typed = GetTickCount();
    PressKey(window, '1');
    PressKey(window, VK_NUMPAD5);
    Sleep(500);
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[0]));
    ASSERT_TRUE(shows(fifteen));
    EXPECT_GE(GetTickCount() - typed, 900u);

    // A number nobody has, too long for any integer: nothing happens.
    for (int i = 0; i < 15; ++i)
        PressKey(window, '9');
    Sleep(1500);
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[fifteen]));

    // The arrows step through the list and wrap at both ends.
    PressKey(window, VK_UP);
    ASSERT_TRUE(shows(fifteen - 1));
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(last, 0), 0);
    ASSERT_TRUE(shows(last));
    PressKey(window, VK_DOWN);
    ASSERT_TRUE(shows(0));
    PressKey(window, VK_UP);
    ASSERT_TRUE(shows(last));

    // A notch towards the screen goes back one channel, a third of a notch nothing.
    TurnWheel(window, 40);
    TurnWheel(window, 40);
    TurnWheel(window, 40);
    Sleep(300);
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[last]));
    TurnWheel(window, 120);
    ASSERT_TRUE(shows(last - 1));
    TurnWheel(window, -240);
    ASSERT_TRUE(shows(last));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
