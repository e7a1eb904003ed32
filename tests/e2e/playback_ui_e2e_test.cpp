// Playing a recording made by the program through "Lire un enregistrement...",
// and pausing live television, as a user does it: the file dialog, the keys,
// the playback bar's texts and the buffer's file.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "recorded_packets.h"
#include "resources/playback_ids.h"
#include "resources/resource_ids.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

constexpr UINT kPlaybackSeek = WM_APP + 0x49;
// The open-file dialog's file name box (a combo box, or an edit box in the old style).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

std::uint64_t SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Command(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 1), 0); }
void Key(HWND window, WPARAM key) { PostMessageW(window, WM_KEYDOWN, key, 1); }

HWND Bar(HWND window) { return FindWindowExW(window, nullptr, L"BrisomePlaybackBar", nullptr); }

bool BarShown(HWND window)
{
    HWND bar = Bar(window);
    return bar && IsWindowVisible(bar);
}

std::wstring BarText(HWND window)
{
    HWND bar = Bar(window);
    wchar_t text[64] = L"";
    if (bar)
        GetDlgItemTextW(bar, IDC_PLAYBACK_POSITION, text, 64);
    return text;
}

// The time a recording spans, in seconds, from its first PID's clock: the sum
// of its steps of the usual size (the clock comes some 30 ms apart); a step
// back (the demo broadcast loops) or a leap (packets the loaded machine never
// delivered) counts as the step before it.
double RecordedSeconds(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    std::vector<unsigned char> bytes(static_cast<size_t>(SizeOf(path)));
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    int pid = -1;
    double ticks = 0, previous = -1, step = 0;
    for (size_t at = 0; at + 188 <= got; at += 188) {
        const unsigned char* p = &bytes[at];
        const int packetPid = ((p[1] & 0x1F) << 8) | p[2];
        if (p[0] != 0x47 || !(p[3] & 0x20) || p[4] < 7 || !(p[5] & 0x10) || (pid >= 0 && packetPid != pid))
            continue;
        pid = packetPid;
        const double base = static_cast<double>((static_cast<unsigned long long>(p[6]) << 25) | (p[7] << 17) |
                                                (p[8] << 9) | (p[9] << 1) | (p[10] >> 7));
        if (previous >= 0) {
            if (base > previous && base - previous < 9000)
                step = base - previous;
            ticks += step;
        }
        previous = base;
    }
    return ticks / 90000;
}

// The recorder has closed `path`: its size no longer changes.
bool WaitForFinishedFile(const std::wstring& path)
{
    std::uint64_t last = 0;
    return WaitUntil([&] {
        const std::uint64_t now = SizeOf(path);
        const bool still = now == last && now > 0;
        last = now;
        return still;
    }, 5000);
}

// "hh:mm:ss" at `at` as seconds, -1 when it is not there.
int Seconds(const std::wstring& text, size_t at)
{
    if (text.size() < at + 8 || text[at + 2] != L':' || text[at + 5] != L':')
        return -1;
    auto two = [&](size_t i) { return (text[i] - L'0') * 10 + (text[i + 1] - L'0'); };
    return two(at) * 3600 + two(at + 3) * 60 + two(at + 6);
}

// Chooses `path` in the program's open-file dialog.
bool OpenThroughDialog(const Program& program, HWND window, const std::wstring& path)
{
    Command(window, IDM_PLAY_FILE);
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindDialog(program.Id(), L"Lire un enregistrement")) != nullptr; }, 10000))
        return false;
    HWND name = GetDlgItem(dialog, kFileNameCombo);
    if (!name)
        name = GetDlgItem(dialog, kFileNameEdit);
    if (!name)
        return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, 5000);
}

class PlaybackUi : public testing::Test {
protected:
    void SetUp() override
    {
        videos_ = installation_.Dir().File(L"videos");
        buffers_ = installation_.Dir().File(L"tampon");
        CreateDirectoryW(videos_.c_str(), nullptr);
        CreateDirectoryW(buffers_.c_str(), nullptr);
        installation_.SetSetting(L"R\u00e9pertoire vid\u00e9o", videos_.c_str());
        installation_.SetSetting(L"Dossier tampon", buffers_.c_str());
        channels_ = installation_.Channels();
        ASSERT_FALSE(channels_.empty());
        program_ = std::make_unique<Program>(installation_.Start());
        window_ = program_->WaitForMainWindow();
        ASSERT_NE(window_, nullptr);
        ASSERT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 20000, L"playback-ui-live.bmp"));
    }

    std::uint32_t Colour() const { return standin::TestPictureBackground(channels_[0].Video); }

    void Close()
    {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program_->WaitForExit());
        EXPECT_EQ(program_->ExitCode(), 0u);
    }

    Installation installation_;
    ChannelList channels_;
    std::wstring videos_;
    std::wstring buffers_;
    std::unique_ptr<Program> program_;
    HWND window_ = nullptr;
};

TEST_F(PlaybackUi, ARecordingPlaysWithItsDurationAndSeeksWhereClicked)
{
    constexpr int kRecordedMs = 8000;
    Command(window_, IDM_RECORD_SERVICE);
    ASSERT_TRUE(WaitUntil([&] { return !FilesIn(videos_, L"*.mpg").empty(); }, 5000));
    Sleep(kRecordedMs);
    Command(window_, IDM_STOP_RECORDING);
    const std::wstring path = videos_ + L"\\" + FilesIn(videos_, L"*.mpg")[0];
    ASSERT_TRUE(WaitForFinishedFile(path));

    ASSERT_TRUE(OpenThroughDialog(*program_, window_, path));
    ASSERT_TRUE(WaitUntil([&] { return BarShown(window_); }, 5000));
    // "00:00:01 / 00:00:09": the duration runs from the first PCR to the last.
    std::wstring text;
    ASSERT_TRUE(WaitUntil([&] { return Seconds(text = BarText(window_), 11) >= 0; }, 3000)) << text;
    EXPECT_EQ(text.substr(8, 3), L" / ");
    const int duration = Seconds(text, 11);
    const double recorded = RecordedSeconds(path);
    EXPECT_GE(duration, recorded - 1.5) << "the file's clock runs " << recorded << " s";
    EXPECT_LE(duration, recorded + 0.5) << "the file's clock runs " << recorded << " s";

    // A click in the middle of the slider while it plays lands within a second
    // of its place, and playing goes on from there.
    PostMessageW(window_, kPlaybackSeek, 5000, 0);
    EXPECT_TRUE(WaitUntil([&] {
        const int at = Seconds(BarText(window_), 0);
        return at >= duration / 2 - 1 && at <= duration / 2 + 1;
    }, 1000)) << BarText(window_);
    EXPECT_TRUE(WaitUntil([&] { return Seconds(BarText(window_), 0) >= duration / 2 + 1; }, 3000))
        << BarText(window_);
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-file.bmp"));
    Key(window_, VK_HOME);
    EXPECT_TRUE(WaitUntil([&] { return Seconds(BarText(window_), 0) <= 1; }, 1000)) << BarText(window_);

    // "Direct": the bar goes, live television again.
    Command(window_, IDC_PLAYBACK_DIRECT);
    EXPECT_TRUE(WaitUntil([&] { return !BarShown(window_); }, 3000));
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-back-live.bmp"));
    Close();
}

TEST_F(PlaybackUi, ARecordingOfSoundOnlyLeavesNoLivePictureUntilDirect)
{
    // A radio's stream of four seconds, as a DVB recording of it would be.
    const std::wstring folder = GenerateBroadcast(
        "broadcast clock=2026-03-14T19:30:00 seconds=4\n"
        "repeat pat=100 pmt=100 sdt=500 nit=1000 pcr=30\n"
        "network id=0x20FA\n"
        "mux uhf=21 tsid=0x0001 onid=0x20FA\n"
        "service sid=0x0103 name=\"Radio Brise\" type=radio pmt=0x0300\n"
        "audio pid=0x0311 lang=fra bitrate=128000\n");
    ASSERT_FALSE(folder.empty());
    const auto streams = FilesIn(folder, L"*.ts");
    ASSERT_EQ(streams.size(), 1u);
    const std::wstring path = folder + L"\\" + streams[0];

    // While the file plays, its sound only, the live picture is not shown as if
    // it were the file's.
    ASSERT_TRUE(OpenThroughDialog(*program_, window_, path));
    ASSERT_TRUE(WaitUntil([&] { return BarShown(window_); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return Seconds(BarText(window_), 0) >= 1; }, 3000)) << BarText(window_);
    const WindowPicture playing = ReadWindowPicture(window_, installation_.Path());
    SaveScreenshot(playing, L"playback-ui-radio.bmp");
    EXPECT_FALSE(ShowsColour(playing, Colour()));

    Command(window_, IDC_PLAYBACK_DIRECT);
    EXPECT_TRUE(WaitUntil([&] { return !BarShown(window_); }, 3000));
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-radio-direct.bmp"));
    Close();
}

TEST_F(PlaybackUi, AFileThatIsNotATransportStreamIsRefusedAndLiveGoesOn)
{
    const std::wstring path = videos_ + L"\\notes.ts";
    installation_.Dir().Write(L"videos\\notes.ts", std::string(4000, 'x'));
    ASSERT_TRUE(OpenThroughDialog(*program_, window_, path));
    MessageBoxWatcher boxes(program_->Id());
    ASSERT_TRUE(boxes.WaitFor(1, 5000));
    EXPECT_EQ(boxes.Texts()[0], L"Le fichier \u00ab " + path +
                                    L" \u00bb ne peut pas \u00eatre lu : ce n'est pas un flux de transport MPEG-TS.");
    EXPECT_FALSE(BarShown(window_));
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-refused.bmp"));
    Close();
}

TEST_F(PlaybackUi, PausingLiveTelevisionBuffersItAndDirectDropsTheBuffer)
{
    // Nothing is written while simply watching.
    EXPECT_TRUE(FilesIn(buffers_, L"*").size() == 2u);  // "." and ".."
    Key(window_, 'P');
    ASSERT_TRUE(WaitUntil([&] { return BarShown(window_); }, 3000));
    EXPECT_EQ(FilesIn(buffers_, L"*.tmp").size(), 1u);
    Sleep(5000);
    Key(window_, VK_PAUSE);
    EXPECT_TRUE(WaitUntil([&] { return BarText(window_) == L"-00:00:05"; }, 1000)) << BarText(window_);
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-time-shift.bmp"));

    // "Direct" returns to live television and deletes the buffer.
    Command(window_, IDC_PLAYBACK_DIRECT);
    EXPECT_TRUE(WaitUntil([&] { return !BarShown(window_); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return FilesIn(buffers_, L"*.tmp").empty(); }, 3000));
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-direct.bmp"));

    // Closing while paused deletes it too.
    Key(window_, 'P');
    ASSERT_TRUE(WaitUntil([&] { return FilesIn(buffers_, L"*.tmp").size() == 1u; }, 3000));
    Close();
    EXPECT_TRUE(FilesIn(buffers_, L"*.tmp").empty());
}

}  // namespace
