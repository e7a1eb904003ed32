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
constexpr unsigned kRecordService = 40011;
constexpr unsigned kStopRecording = 40017;
constexpr unsigned kFullScreen = 40015;
constexpr unsigned kAudioFirst = 40060;
constexpr unsigned kSubtitlesNone = 40068;
constexpr unsigned kSubtitlesFirst = 40069;
constexpr unsigned kSubtitlesNext = 40077;  // S

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

// The size of the one recording in `folder` as its folder lists it.
ULONGLONG RecordingSize(const ScratchDir& dir, const wchar_t* folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir.File(folder) + L"\\*.mpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return (ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

// The PIDs of the packets of the one recording in `folder`.
std::set<unsigned> RecordedPids(const ScratchDir& dir, const wchar_t* folder)
{
    std::set<unsigned> pids;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir.File(folder) + L"\\*.mpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return pids;
    FindClose(search);
    std::string bytes;
    HANDLE file = CreateFileW((dir.File(folder) + L"\\" + found.cFileName).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return pids;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    for (std::size_t at = 0; at + 188 <= bytes.size(); at += 188)
        pids.insert((static_cast<unsigned char>(bytes[at + 1]) & 0x1F) << 8 | static_cast<unsigned char>(bytes[at + 2]));
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
    CreateDirectoryW(dir.File(L"videos").c_str(), nullptr);
    installation.SetSetting(L"R\u00e9pertoire vid\u00e9o", dir.File(L"videos").c_str());

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

    // A service recording keeps the track heard, also one no described command names.
    command(kAudioFirst + 1);
    command(kRecordService);
    // The file is the recorder's alone until the end: it is read once stopped.
    WaitUntil([&] { return RecordingSize(dir, L"videos") > 200 * 188; }, 5000);
    command(kStopRecording);
    const std::set<unsigned> recorded = RecordedPids(dir, L"videos");
    EXPECT_EQ(recorded.count(0x112), 1u);
    EXPECT_EQ(recorded.count(0x111) + recorded.count(0x113), 0u);
    command(kFirstAudio);

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
    // Full screen holds the menu away from the window; S still moves its check.
    command(kFullScreen);
    command(kSubtitlesNext);
    command(kFullScreen);
    EXPECT_EQ(SubtitleItems(window, dir).checked, std::vector<unsigned>{kSubtitlesNone});

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
