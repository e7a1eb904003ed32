// Playing the demo broadcast: start-up on the saved channel, channel changes with
// and without a retune, the picture, the signal dialog, and an empty channel file.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The tuning calls of the trace, in order (state changes left out).
std::vector<std::string> TuningCalls(const Installation& installation)
{
    std::vector<std::string> calls;
    for (const std::string& line : Lines(installation.Trace()))
        if (line.rfind("StartChanges", 0) == 0 || line.rfind("put_", 0) == 0 || line.rfind("CheckChanges", 0) == 0 ||
            line.rfind("CommitChanges", 0) == 0)
            calls.push_back(line);
    return calls;
}

std::vector<std::string> TuneSequence(std::int32_t frequency)
{
    return {"StartChanges", "put_Bandwidth 8", "put_Frequency " + std::to_string(frequency), "CheckChanges",
            "CommitChanges"};
}

// Indexes of two channels of the first one's multiplex and one of another.
struct ChannelChoice {
    int first = -1;
    int sameMultiplex = -1;
    int otherMultiplex = -1;
};

ChannelChoice ChooseChannels(const ChannelList& channels)
{
    ChannelChoice choice;
    if (channels.empty())
        return choice;
    choice.first = 0;
    for (size_t i = 1; i < channels.size(); ++i) {
        if (channels[i].Frequence == channels[0].Frequence && channels[i].Video != channels[0].Video &&
            choice.sameMultiplex < 0)
            choice.sameMultiplex = static_cast<int>(i);
        if (channels[i].Frequence != channels[0].Frequence && choice.otherMultiplex < 0)
            choice.otherMultiplex = static_cast<int>(i);
    }
    return choice;
}

void SelectChannelByMenu(HWND window, int index)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(index, 0), 0);
}

TEST(Playback, ChannelChangesRetuneOnlyAcrossMultiplexesAndShowTheirPicture)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    const ChannelChoice choice = ChooseChannels(channels);
    ASSERT_GE(choice.sameMultiplex, 0);
    ASSERT_GE(choice.otherMultiplex, 0);

    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    // The saved index is missing: channel 0, tuned once, its picture shown.
    ASSERT_TRUE(WaitUntil([&] { return TuningCalls(installation).size() >= 5; }, 10000));
    EXPECT_EQ(TuningCalls(installation), TuneSequence(channels[0].Frequence));
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[0]));
    EXPECT_TRUE(WaitForPicture(window, installation.Path(), standin::TestPictureBackground(channels[0].Video), 10000,
                               L"playback-first-channel.bmp"))
        << "no picture of video PID " << channels[0].Video;

    // Same multiplex: no tuning call, the other service's picture.
    SelectChannelByMenu(window, choice.sameMultiplex);
    const int same = choice.sameMultiplex;
    ASSERT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels[same]); }, 5000));
    EXPECT_TRUE(WaitForPicture(window, installation.Path(), standin::TestPictureBackground(channels[same].Video),
                               10000, L"playback-same-multiplex.bmp"))
        << "no picture of video PID " << channels[same].Video;
    EXPECT_EQ(TuningCalls(installation).size(), 5u);

    // Another multiplex: exactly one more tuning sequence.
    const int other = choice.otherMultiplex;
    SelectChannelByMenu(window, other);
    ASSERT_TRUE(WaitUntil([&] { return TuningCalls(installation).size() >= 10; }, 5000));
    std::vector<std::string> expected = TuneSequence(channels[0].Frequence);
    for (const std::string& call : TuneSequence(channels[other].Frequence))
        expected.push_back(call);
    EXPECT_EQ(TuningCalls(installation), expected);
    EXPECT_TRUE(WaitForPicture(window, installation.Path(), standin::TestPictureBackground(channels[other].Video),
                               10000, L"playback-other-multiplex.bmp"))
        << "no picture of video PID " << channels[other].Video;

    // Choosing the current channel again changes nothing.
    SelectChannelByMenu(window, other);
    Sleep(300);
    EXPECT_EQ(TuningCalls(installation).size(), 10u);

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Playback, SignalDialogShowsLockPresenceAndFigures)
{
    Installation installation;
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40047, 0), 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        dialog = FindWindowW(L"#32770", L"Qualit\u00e9 du signal");
        return dialog != nullptr;
    }, 5000));
    auto text = [&](int id) {
        wchar_t buffer[64] = L"";
        GetDlgItemTextW(dialog, id, buffer, 64);
        return std::wstring(buffer);
    };
    // The statistics are read at once and every 200 ms.
    EXPECT_TRUE(WaitUntil([&] { return text(1015) == L"Oui" && text(1016) == L"Oui"; }, 3000));
    for (int id : {1017, 1018}) {
        const std::wstring figure = text(id);
        EXPECT_FALSE(figure.empty());
        EXPECT_NE(figure, L"Inconnue");
        EXPECT_EQ(figure.find_first_not_of(L"-0123456789"), std::wstring::npos) << id;
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 3000));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
}

TEST(Playback, AChannelFileWithoutChannelsStopsStartUp)
{
    Installation installation(false);
    installation.Dir().Write(L"chaines.xml", "<Chaines>\r\n</Chaines>\r\n");
    Program program = installation.Start();
    MessageBoxWatcher boxes(program.Id());
    ASSERT_TRUE(program.WaitForExit(30000));
    EXPECT_EQ(program.ExitCode(), 0xFFFFFFFFu);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Aucune chaine n'est dans le fichier"});
    // No scan was started: the file is as it was.
    EXPECT_EQ(installation.Dir().Read(L"chaines.xml"), "<Chaines>\r\n</Chaines>\r\n");
}

}  // namespace
