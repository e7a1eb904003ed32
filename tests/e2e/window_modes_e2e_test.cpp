// The window modes and the mouse as a user meets them: a click hides or shows the
// decorations, a double click switches full screen, a drag moves the window, and
// every round trip gives back the window it started from; the right-click menu
// changes the channel.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installation.h"
#include "program_driver.h"

namespace {

// The main window once start-up has played the first channel.
HWND WaitUntilPlaying(Program& program)
{
    HWND window = program.WaitForMainWindow();
    if (window && !WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000))
        return nullptr;
    return window;
}

// Real mouse moves over the window would end a drag or move a menu's selection:
// the cursor waits in a corner that the window does not cover.
void ParkCursor()
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
}

RECT OuterRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

HWND StatusBarOf(HWND window)
{
    return FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
}

// Other: between two modes, while the program changes them.
enum class Mode { Normal, Compact, FullScreen, Other };

Mode ModeOf(HWND window)
{
    // Visible, and clipping its siblings as every top-level window does.
    const LONG style = GetWindowLongW(window, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS);
    const RECT r = OuterRect(window);
    if (style == 0 && r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
        r.bottom == GetSystemMetrics(SM_CYSCREEN) && !GetMenu(window) && !StatusBarOf(window))
        return Mode::FullScreen;
    if ((style & WS_CAPTION) == WS_CAPTION && GetMenu(window) && StatusBarOf(window))
        return Mode::Normal;
    if (style == WS_THICKFRAME && !GetMenu(window) && !StatusBarOf(window))
        return Mode::Compact;
    return Mode::Other;
}

std::string Describe(HWND window)
{
    const RECT r = OuterRect(window);
    return "style " + std::to_string(GetWindowLongW(window, GWL_STYLE)) + " menu " +
           std::to_string(GetMenu(window) != nullptr) + " status bar " + std::to_string(StatusBarOf(window) != nullptr) +
           " rect " + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

LPARAM At(int x, int y)
{
    return MAKELPARAM(x, y);
}

void Click(HWND window, int x, int y)
{
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, At(x, y));
}

void DoubleClick(HWND window, int x, int y)
{
    Click(window, x, y);
    PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, At(x, y));
    PostMessageW(window, WM_LBUTTONUP, 0, At(x, y));
}

// The right edges of the status bar's parts, read into memory of the program's
// own, since the message carries a pointer.
std::vector<int> StatusBarEdges(HWND window, HANDLE process)
{
    HWND bar = StatusBarOf(window);
    void* remote = VirtualAllocEx(process, nullptr, 64 * sizeof(int), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!bar || !remote)
        return {};
    DWORD_PTR count = 0;
    SendMessageTimeoutW(bar, SB_GETPARTS, 64, reinterpret_cast<LPARAM>(remote), SMTO_BLOCK, 2000, &count);
    std::vector<int> edges(64);
    ReadProcessMemory(process, remote, edges.data(), edges.size() * sizeof(int), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    edges.resize(std::min<DWORD_PTR>(count, 64));
    return edges;
}

int ClientWidth(HWND window)
{
    RECT r{};
    GetClientRect(window, &r);
    return r.right;
}

TEST(WindowModes, AClickHidesTheDecorationsADoubleClickGoesFullScreenADragOnlyMoves)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    ParkCursor();
    Program program = installation.Start();
    HWND window = WaitUntilPlaying(program);
    ASSERT_NE(window, nullptr);
    const RECT start = OuterRect(window);

    // The window of 800 pixels has a status bar of 792: the titles share 292 beyond 500.
    ASSERT_EQ(ClientWidth(StatusBarOf(window)), 792);
    EXPECT_EQ(StatusBarEdges(window, program.Process()), (std::vector<int>{100, 160, 446, 506, -1}));
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[0]));

    // A click: nothing at once, compact mode after the double-click time.
    Click(window, 200, 150);
    Sleep(150);
    EXPECT_EQ(ModeOf(window), Mode::Normal) << Describe(window);
    ASSERT_TRUE(WaitUntil([&] { return ModeOf(window) == Mode::Compact; }, 3000)) << Describe(window);
    EXPECT_TRUE(SameRect(OuterRect(window), start));
    // Another click brings them back, with a status bar laid out and filled afresh.
    Click(window, 200, 150);
    ASSERT_TRUE(WaitUntil([&] { return ModeOf(window) == Mode::Normal; }, 3000)) << Describe(window);
    EXPECT_TRUE(SameRect(OuterRect(window), start));
    EXPECT_EQ(StatusBarEdges(window, program.Process()), (std::vector<int>{100, 160, 446, 506, -1}));
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[0]));

    // A double click: full screen, and no decorations toggled on the way.
    DoubleClick(window, 200, 150);
    ASSERT_TRUE(WaitUntil([&] { return ModeOf(window) == Mode::FullScreen; }, 3000)) << Describe(window);
    Sleep(500);
    EXPECT_EQ(ModeOf(window), Mode::FullScreen) << Describe(window);
    DoubleClick(window, 200, 150);
    ASSERT_TRUE(WaitUntil([&] { return ModeOf(window) == Mode::Normal; }, 3000)) << Describe(window);
    Sleep(500);
    EXPECT_EQ(ModeOf(window), Mode::Normal) << Describe(window);
    EXPECT_TRUE(SameRect(OuterRect(window), start));

    // Press, drag 40 right and 25 down, release: the window follows, nothing toggles.
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(200, 150));
    PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(200, 150));
    PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(240, 175));
    ASSERT_TRUE(WaitUntil([&] { return OuterRect(window).left == start.left + 40; }, 3000));
    // The window has moved under the cursor: its client position is back at the press.
    PostMessageW(window, WM_LBUTTONUP, 0, At(200, 150));
    PostMessageW(window, WM_MOUSEMOVE, 0, At(200, 150));
    Sleep(600);
    const RECT moved = OuterRect(window);
    EXPECT_EQ(moved.left, start.left + 40);
    EXPECT_EQ(moved.top, start.top + 25);
    EXPECT_EQ(moved.right - moved.left, start.right - start.left);
    EXPECT_EQ(moved.bottom - moved.top, start.bottom - start.top);
    EXPECT_EQ(ModeOf(window), Mode::Normal) << Describe(window);

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

bool IsChecked(HWND window, const ScratchDir& dir, unsigned id)
{
    for (const MenuEntry& e : ReadMenuBar(window, dir.Path()))
        if (e.id == id)
            return (e.state & MFS_CHECKED) != 0;
    ADD_FAILURE() << "no menu item " << id;
    return false;
}

TEST(WindowModes, FullScreenFromCompactReturnsToCompactAndTheMenuComesBackWithTrueMarks)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    ParkCursor();
    Program program = installation.Start();
    HWND window = WaitUntilPlaying(program);
    ASSERT_NE(window, nullptr);
    const RECT start = OuterRect(window);
    auto topmost = [&] { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    auto command = [&](int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); };

    Click(window, 300, 200);
    ASSERT_TRUE(WaitUntil([&] { return ModeOf(window) == Mode::Compact; }, 3000)) << Describe(window);
    const RECT compact = OuterRect(window);

    // Space ("Plein écran") there and back: compact again, the same rectangle.
    command(40015);
    EXPECT_EQ(ModeOf(window), Mode::FullScreen) << Describe(window);
    // Alt+T changes nothing in full screen.
    command(40029);
    EXPECT_FALSE(topmost());
    command(40015);
    EXPECT_EQ(ModeOf(window), Mode::Compact) << Describe(window);
    EXPECT_TRUE(SameRect(OuterRect(window), compact));

    // The menu is away, but what it shows follows: always on top, a priority,
    // announcing to the messaging client.
    command(40029);
    EXPECT_TRUE(topmost());
    command(40039);
    command(40045);
    Click(window, 300, 200);
    ASSERT_TRUE(WaitUntil([&] { return ModeOf(window) == Mode::Normal; }, 3000)) << Describe(window);
    EXPECT_TRUE(SameRect(OuterRect(window), start));
    EXPECT_TRUE(IsChecked(window, dir, 40029));
    EXPECT_TRUE(IsChecked(window, dir, 40039));
    EXPECT_FALSE(IsChecked(window, dir, 40034));
    EXPECT_TRUE(IsChecked(window, dir, 40045));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

// The pop-up menu of the program's process while one is tracked.
HWND ShownPopupMenu(DWORD processId)
{
    for (HWND menu : WindowsOfClass(L"#32768")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(menu, &owner);
        if (owner == processId && IsWindowVisible(menu))
            return menu;
    }
    return nullptr;
}

TEST(WindowModes, TheContextMenuOffersProgrammeAndTheChannelsAndSelectsOne)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    ASSERT_GE(channels.size(), 3u);
    ParkCursor();
    Program program = installation.Start();
    HWND window = WaitUntilPlaying(program);
    ASSERT_NE(window, nullptr);

    POINT at{40, 40};
    ClientToScreen(window, &at);
    PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(at.x, at.y));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = ShownPopupMenu(program.Id())) != nullptr; }, 5000));
    // Opened where the mouse was.
    RECT shown{};
    GetWindowRect(menu, &shown);
    EXPECT_EQ(shown.left, at.x);
    EXPECT_EQ(shown.top, at.y);

    // By keyboard: past "Programme" to "Chaînes", into it, down to the third channel.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageW(menu, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels[2]); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return ShownPopupMenu(program.Id()) == nullptr; }, 3000));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
