// A first start without a channel file: the scan dialog with its progress and the
// names found, chaines.xml written in channel-number order, the first channel's
// picture; and an unreadable chaines.xml kept aside instead of overwritten.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/text_convert.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

std::string ToUtf8(const std::wstring& text)
{
    return NarrowText(text, CodePage::Utf8);
}

constexpr int kScanList = 1006;
constexpr int kScanProgress = 1005;

HWND FindScanDialog(DWORD processId)
{
    return FindDialog(processId, L"Scan des fr\u00e9quences en cours");
}

// Asks a control of the dialog; fails the test when the dialog does not answer
// within a second, as a dialog blocked by the scan would not.
LRESULT Ask(HWND dialog, int control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(GetDlgItem(dialog, control), message, wParam, lParam, SMTO_BLOCK, 1000, &result), 0)
        << "the scan dialog did not answer";
    return static_cast<LRESULT>(result);
}

std::vector<std::wstring> ListedNames(HWND dialog)
{
    std::vector<std::wstring> names;
    const LRESULT count = Ask(dialog, kScanList, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        if (Ask(dialog, kScanList, LB_GETTEXTLEN, static_cast<WPARAM>(i)) < 256)
            Ask(dialog, kScanList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        names.push_back(text);
    }
    return names;
}

TEST(Scan, FirstStartScansTheCityShowsProgressAndNamesSavesInNumberOrderAndPlays)
{
    Installation installation(false);
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindScanDialog(program.Id())) != nullptr; }, 20000));
    // The demo city has six frequencies; the first multiplex's names come first.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || Ask(dialog, kScanProgress, PBM_GETPOS) > 0; }, 20000));
    ASSERT_TRUE(IsWindow(dialog)) << "the scan ended before it could be watched";
    const std::vector<std::wstring> names = ListedNames(dialog);
    const LRESULT position = Ask(dialog, kScanProgress, PBM_GETPOS);
    SaveScreenshot(ReadWindowPicture(dialog, installation.Path()), L"scan-in-progress.bmp");
    EXPECT_EQ(Ask(dialog, kScanProgress, PBM_GETRANGE, FALSE), 6);
    EXPECT_GE(position, 1);
    EXPECT_LE(position, 5);
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], L"T\u00e9l\u00e9 D\u00e9mo");
    EXPECT_EQ(names[1], L"Canal \u00c9toile");
    EXPECT_EQ(names[2], L"Radio Brise");

    // The file appears once the dialog is gone: playable channels, by number.
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 60000));
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 10000));
    const ChannelList channels = installation.Channels();
    ASSERT_GE(channels.size(), 4u);
    for (size_t i = 0; i < channels.size(); ++i) {
        EXPECT_NE(channels[i].Video, 0) << channels[i].Nom;
        EXPECT_GT(channels[i].Numero, 0) << channels[i].Nom;
        if (i > 0) {
            EXPECT_LE(channels[i - 1].Numero, channels[i].Numero) << channels[i].Nom;
        }
    }
    EXPECT_TRUE(WaitForPicture(window, installation.Path(), standin::TestPictureBackground(channels[0].Video), 20000,
                               L"scan-first-channel.bmp"))
        << "no picture of video PID " << channels[0].Video;

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Scan, AnUnreadableChannelFileIsKeptBesideTheNewOne)
{
    Installation installation(false);
    const char truncated[] = "<Chaines>\r\n\t<Chaine>\r\n\t\t<Nom>Tronqu\0\x01\xff";
    const std::string garbage(truncated, sizeof truncated - 1);
    installation.Dir().Write(L"chaines.xml", garbage);
    Program program = installation.Start();
    MessageBoxWatcher boxes(program.Id());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    // The scan dialog comes and goes; a channel on show then means the new file is written.
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindScanDialog(program.Id())) != nullptr; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 60000));
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 10000));
    EXPECT_TRUE(boxes.Texts().empty()) << ToUtf8(boxes.Texts().front());
    EXPECT_EQ(installation.Dir().Read(L"chaines.xml.illisible"), garbage);
    EXPECT_FALSE(installation.Channels().empty());

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Scan, TheProgramsEndDuringTheScanStopsItPromptlyAndSavesNothing)
{
    Installation installation(false);
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = FindScanDialog(program.Id())) != nullptr; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || Ask(dialog, kScanProgress, PBM_GETPOS) > 0; }, 20000));
    ASSERT_TRUE(IsWindow(dialog)) << "the scan ended before it could be cut short";

    // A quit message ends the dialog's loop while the scan's thread is waiting on
    // the tuner or a table: that thread must be stopped, not waited out or left.
    PostThreadMessageW(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
    EXPECT_TRUE(program.WaitForExit(15000)) << "the program hung on the scan's thread";
    EXPECT_EQ(GetFileAttributesW((installation.Path() + L"\\chaines.xml").c_str()), INVALID_FILE_ATTRIBUTES)
        << "a half scan was saved";
}

}  // namespace
