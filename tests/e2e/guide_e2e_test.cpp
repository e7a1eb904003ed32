// The programme guide as a user meets it on the demo broadcast: the status bar
// shows what is on and what follows, for the channel chosen; key G lists the
// kept events of every channel and "Mettre à jour" refills the list; quitting
// while guide sections keep arriving ends cleanly.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "demo_guide.h"
#include "installation.h"
#include "program_driver.h"
#include "resources/resource_ids.h"

namespace {

constexpr wchar_t kGuideCaption[] = L"Guide des programmes";

std::vector<std::wstring> StatusTexts(HWND window, const std::wstring& dir)
{
    return ReadControlTexts(window, dir).statusParts;
}

// The rows the guide should list once every channel's events have arrived.
std::vector<std::vector<std::wstring>> ExpectedRows(const ChannelList& channels)
{
    std::vector<std::vector<std::wstring>> rows;
    for (const Chaine& c : channels) {
        const ShownGuide guide = DemoGuide(c);
        for (const auto& event : {guide.present, guide.following})
            if (event)
                rows.push_back({ShownName(c), event->start, event->end, event->title, event->text});
    }
    return rows;
}

// The first channel on another multiplex than channel 0, and the first on the same.
struct Neighbours {
    int other = -1;
    int same = -1;
};

Neighbours FindNeighbours(const ChannelList& channels)
{
    Neighbours n;
    for (size_t i = 1; i < channels.size(); ++i) {
        const bool same = channels[i].Frequence == channels[0].Frequence;
        int& slot = same ? n.same : n.other;
        if (slot < 0)
            slot = static_cast<int>(i);
    }
    return n;
}

TEST(Guide, StatusBarShowsTheCurrentAndNextProgrammesOfTheChosenChannel)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    const Neighbours n = FindNeighbours(channels);
    ASSERT_GE(n.other, 0);
    ASSERT_GE(n.same, 0);
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    for (int index : {0, n.other, n.same}) {
        SCOPED_TRACE(index);
        const std::vector<std::wstring> expected = DemoStatusTexts(channels[static_cast<size_t>(index)]);
        ASSERT_FALSE(expected[2].empty()) << "the demo has a programme on air for every service";
        if (index != 0)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(index, 0), 0);
        std::vector<std::wstring> shown;
        EXPECT_TRUE(WaitUntil([&] { return (shown = StatusTexts(window, installation.Path())) == expected; }, 15000))
            << "shown: " << testing::PrintToString(shown) << "\nexpected: " << testing::PrintToString(expected);
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Guide, KeyGListsEveryChannelsEventsInChannelOrderAndMettreAJourRefills)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    const auto expected = ExpectedRows(channels);
    ASSERT_GE(expected.size(), channels.size());
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));

    PostMessageW(window, WM_KEYDOWN, 'G', 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialog(program.Id(), kGuideCaption)) != nullptr; }, 10000));

    const ControlTexts opened = ReadControlTexts(dialog, installation.Path());
    const std::vector<std::pair<int, std::wstring>> columns = {
        {90, L"Cha\u00eene"}, {60, L"D\u00e9but"}, {60, L"Fin"}, {220, L"Nom du programme"}, {700, L"Description"}};
    ASSERT_EQ(opened.columns.size(), columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(opened.columns[i].width, columns[i].first);
        EXPECT_EQ(opened.columns[i].header, columns[i].second);
    }

    // The list does not follow the guide by itself: each "Mettre à jour" lists
    // what has arrived, until every channel's two events are there.
    HWND refresh = GetDlgItem(dialog, IDC_GUIDE_REFRESH);
    ASSERT_NE(refresh, nullptr);
    auto refill = [&] {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_GUIDE_REFRESH, BN_CLICKED), reinterpret_cast<LPARAM>(refresh));
        return ReadControlTexts(dialog, installation.Path()).rows;
    };
    std::vector<std::vector<std::wstring>> rows;
    EXPECT_TRUE(WaitUntil([&] { return (rows = refill()) == expected; }, 20000))
        << "listed: " << testing::PrintToString(rows) << "\nexpected: " << testing::PrintToString(expected);
    EXPECT_EQ(refill(), expected) << "a refill replaces the rows";

    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

// The demo broadcast with each guide section of the multiplex sent every 50 ms
// and of the other multiplexes every 75 ms, instead of 500: hundreds of sections
// a second on PID 0x12, as much as the smallest multiplex's rate lets through.
std::wstring BusyGuideBroadcast()
{
    static const std::wstring folder = [] {
        std::ifstream file(std::filesystem::path(WindowsPathOf(BRISOME_SOURCE_DIR "/demo/broadcast.txt")),
                           std::ios::binary);
        std::string description((std::istreambuf_iterator<char>(file)), {});
        const std::string from = "eit=500 eit-other=500";
        const size_t at = description.find(from);
        if (at == std::string::npos)
            return std::wstring();
        description.replace(at, from.size(), "eit=50 eit-other=75");
        return GenerateBroadcast(description);
    }();
    return folder;
}

TEST(Guide, QuittingWhileGuideSectionsPourInEndsWithCodeZero)
{
    const std::wstring broadcast = BusyGuideBroadcast();
    ASSERT_FALSE(broadcast.empty()) << "tsgen could not make the busy broadcast";
    Installation installation;
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        Program program = installation.Start(broadcast);
        HWND window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));
        Sleep(static_cast<DWORD>(round * 150));
        // By the close box, and by "Quitter" every other time.
        if (round % 2)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_QUIT, 0), 0);
        else
            PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit(20000));
        EXPECT_EQ(program.ExitCode(), 0u);
    }
}

}  // namespace
