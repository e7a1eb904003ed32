// Every audio and subtitle track of a channel, as a viewer chooses them on the
// demo's "Télé Démo": the "Audio" menu by language and kind, the track chosen
// mapped on the demultiplexer's sound pin, the "Sous-titres" menu and the S key,
// and the wishes of config.ini applied when the program starts.
#include <windows.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installation.h"
#include "program_driver.h"

namespace {

constexpr unsigned kFirstAudio = 40018;
constexpr unsigned kAudioFirst = 40060;
constexpr unsigned kSubtitlesNone = 40068;
constexpr unsigned kSubtitlesFirst = 40069;

struct Shown {
    std::vector<std::wstring> texts;  // in menu order
    std::vector<unsigned> checked;
};

// The items of one of the two pop-ups, read from the whole bar by their ids.
Shown Items(HWND window, const ScratchDir& dir, unsigned first, unsigned last)
{
    Shown shown;
    for (const MenuEntry& e : ReadMenuBar(window, dir.Path())) {
        if (e.kind != "item" || e.id < first || e.id > last)
            continue;
        shown.texts.push_back(e.text);
        if (e.state & MFS_CHECKED)
            shown.checked.push_back(e.id);
    }
    return shown;
}

Shown AudioItems(HWND window, const ScratchDir& dir)
{
    return Items(window, dir, kAudioFirst, kAudioFirst + 7);
}

Shown SubtitleItems(HWND window, const ScratchDir& dir)
{
    return Items(window, dir, kSubtitlesNone, kSubtitlesFirst + 7);
}

// The PIDs mapped on the sound pin now, replayed from the stand-in's trace.
std::set<unsigned> SoundPinPids(const Installation& installation)
{
    std::set<unsigned> pids;
    std::istringstream lines(installation.Trace());
    std::string what, pin, pid;
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        if (!(words >> what >> pin >> pid) || pin != "son")
            continue;
        const unsigned value = std::stoul(pid, nullptr, 16);
        if (what == "MapPID")
            pids.insert(value);
        else if (what == "UnmapPID")
            pids.erase(value);
    }
    return pids;
}

int TeleDemo(const ChannelList& channels)
{
    for (std::size_t i = 0; i < channels.size(); ++i)
        if (ShownName(channels[i]) == L"T\u00e9l\u00e9 D\u00e9mo")
            return static_cast<int>(i);
    return -1;
}

const std::vector<std::wstring> kAudioTexts = {L"Fran\u00e7ais", L"Audiodescription",
                                               L"Version originale (anglais)"};
const std::vector<std::wstring> kSubtitleTexts = {L"Aucun", L"Fran\u00e7ais (sourds et malentendants)",
                                                  L"T\u00e9l\u00e9texte 888"};

TEST(Tracks, TheMenusListEveryTrackSwitchTheSoundAndSCyclesTheSubtitles)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    const ChannelList channels = installation.Channels();
    const int tele = TeleDemo(channels);
    ASSERT_GE(tele, 0);

    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));
    auto command = [&](unsigned id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); };
    command(static_cast<unsigned>(tele));
    ASSERT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels[tele]); }, 5000));

    Shown audio = AudioItems(window, dir);
    EXPECT_EQ(audio.texts, kAudioTexts);
    EXPECT_EQ(audio.checked, std::vector<unsigned>{kAudioFirst});
    EXPECT_EQ(SoundPinPids(installation), std::set<unsigned>{0x111});

    // The original version, then audio description (which no described command
    // names), then Ctrl+1 back to the French track: one track on the pin each time.
    const struct {
        unsigned command;
        unsigned checked;
        unsigned pid;
    } steps[] = {{kAudioFirst + 2, kAudioFirst + 2, 0x113},
                 {kAudioFirst + 1, kAudioFirst + 1, 0x112},
                 {kFirstAudio, kAudioFirst, 0x111}};
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "command " << step.command);
        command(step.command);
        EXPECT_TRUE(WaitUntil([&] { return SoundPinPids(installation) == std::set<unsigned>{step.pid}; }, 5000));
        EXPECT_EQ(AudioItems(window, dir).checked, std::vector<unsigned>{step.checked});
    }

    Shown subtitles = SubtitleItems(window, dir);
    EXPECT_EQ(subtitles.texts, kSubtitleTexts);
    EXPECT_EQ(subtitles.checked, std::vector<unsigned>{kSubtitlesNone});
    // S as the keyboard gives it: each track in turn, then none again.
    for (unsigned expected : {kSubtitlesFirst, kSubtitlesFirst + 1, kSubtitlesNone}) {
        PostMessageW(window, WM_KEYDOWN, 'S', 1);
        EXPECT_TRUE(WaitUntil([&] { return SubtitleItems(window, dir).checked == std::vector<unsigned>{expected}; },
                              5000))
            << expected;
    }
    command(kSubtitlesFirst + 1);
    EXPECT_EQ(SubtitleItems(window, dir).checked, std::vector<unsigned>{kSubtitlesFirst + 1});

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Tracks, TheWishesOfTheSettingsFileChooseTheTracksAtStart)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    const int tele = TeleDemo(installation.Channels());
    ASSERT_GE(tele, 0);
    installation.SetSetting(L"Index chaine courante", std::to_wstring(tele).c_str());
    installation.SetSetting(L"Langue audio", L"vo");
    installation.SetSetting(L"Sous-titres", L"sourds");

    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return SoundPinPids(installation) == std::set<unsigned>{0x113}; }, 5000));
    EXPECT_EQ(AudioItems(window, dir).checked, std::vector<unsigned>{kAudioFirst + 2});
    EXPECT_EQ(SubtitleItems(window, dir).checked, std::vector<unsigned>{kSubtitlesFirst});

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    // The wishes are the user's: the program keeps them as written.
    wchar_t value[16] = L"";
    GetPrivateProfileStringW(L"Config", L"Langue audio", L"", value, 16, dir.File(L"config.ini").c_str());
    EXPECT_STREQ(value, L"vo");
}

}  // namespace
