// The sound commands of "Commandes": the second track and the AC-3 track where a
// channel has them, back to the first, the tracks never stacked, and mute.
#include <windows.h>

#include <map>

#include <gtest/gtest.h>

#include "installation.h"
#include "program_driver.h"

namespace {

constexpr unsigned kFirst = 40018;
constexpr unsigned kSecond = 40013;
constexpr unsigned kAc3 = 40016;
constexpr unsigned kMute = 40020;

enum class Shown { Enabled, Grey, CheckedGrey, Other };

struct Tracks {
    Shown first;
    Shown second;
    Shown ac3;
    friend bool operator==(const Tracks&, const Tracks&) = default;
};

Shown ShownState(unsigned state)
{
    const bool grey = (state & MFS_GRAYED) != 0;
    const bool checked = (state & MFS_CHECKED) != 0;
    if (!grey && !checked)
        return Shown::Enabled;
    if (grey)
        return checked ? Shown::CheckedGrey : Shown::Grey;
    return Shown::Other;
}

std::map<unsigned, unsigned> MenuStates(HWND window, const ScratchDir& dir)
{
    std::map<unsigned, unsigned> states;
    for (const MenuEntry& e : ReadMenuBar(window, dir.Path()))
        if (e.kind == "item")
            states[e.id] = e.state;
    return states;
}

Tracks TrackItems(HWND window, const ScratchDir& dir)
{
    auto states = MenuStates(window, dir);
    return {ShownState(states[kFirst]), ShownState(states[kSecond]), ShownState(states[kAc3])};
}

int FirstWith(const ChannelList& channels, std::int32_t Chaine::*pid)
{
    for (size_t i = 0; i < channels.size(); ++i)
        if (channels[i].*pid != 0)
            return static_cast<int>(i);
    return -1;
}

TEST(Audio, TracksSwitchWhereOfferedAreNeverStackedAndMuteTogglesQuietly)
{
    using S = Shown;
    Installation installation;
    ScratchDir& dir = installation.Dir();
    const ChannelList channels = installation.Channels();
    const int withSecond = FirstWith(channels, &Chaine::Son2);
    const int withAc3 = FirstWith(channels, &Chaine::Ac3);
    ASSERT_GE(withSecond, 0);
    ASSERT_GE(withAc3, 0);
    ASSERT_EQ(channels[withSecond].Ac3, 0) << "the demo's second-track channel has no AC-3";
    ASSERT_EQ(channels[withAc3].Son2, 0) << "the demo's AC-3 channel has no second track";

    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));
    auto command = [&](unsigned id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); };
    auto select = [&](int index) {
        command(static_cast<unsigned>(index));
        return WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels[index]); }, 5000);
    };

    ASSERT_TRUE(select(withSecond));
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::CheckedGrey, S::Enabled, S::Grey}));
    command(kAc3);  // greyed: no AC-3 here
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::CheckedGrey, S::Enabled, S::Grey}));
    command(kSecond);
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::Enabled, S::CheckedGrey, S::Grey}));
    // Neither the second track twice nor the AC-3 one beside it.
    command(kSecond);
    command(kAc3);
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::Enabled, S::CheckedGrey, S::Grey}));
    command(kFirst);
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::CheckedGrey, S::Enabled, S::Grey}));

    // The AC-3 track; a channel change returns to the first track.
    ASSERT_TRUE(select(withAc3));
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::CheckedGrey, S::Grey, S::Enabled}));
    command(kAc3);
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::Enabled, S::Grey, S::CheckedGrey}));
    command(kSecond);  // greyed: no second track here
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::Enabled, S::Grey, S::CheckedGrey}));
    ASSERT_TRUE(select(withSecond));
    EXPECT_EQ(TrackItems(window, dir), (Tracks{S::CheckedGrey, S::Enabled, S::Grey}));

    // Mute and back: the item carries no mark, and the program plays on.
    command(kMute);
    EXPECT_EQ(ShownState(MenuStates(window, dir)[kMute]), S::Enabled);
    command(kMute);
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[withSecond]));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
