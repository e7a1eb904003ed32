// Playing a recording made by the program through "Lire un enregistrement...",
// and pausing live television, as a user does it: the file dialog, the keys,
// the playback bar's texts and the buffer's file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "installation.h"
#include "message_box_watcher.h"
#include "playback_driver.h"
#include "program_driver.h"
#include "recorded_packets.h"
#include "resources/playback_ids.h"
#include "resources/resource_ids.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

std::uint64_t SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Contents(const std::wstring& path)
{
    std::string bytes(static_cast<size_t>(SizeOf(path)), '\0');
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

// The colour of a 32-bit snapshot's bottom-left pixel (0x00RRGGBB), or 0xFFFFFFFF.
std::uint32_t CornerColour(const std::string& bitmap)
{
    if (bitmap.size() < 58 || bitmap.compare(0, 2, "BM") != 0)
        return 0xFFFFFFFF;
    std::uint32_t offset = 0;
    std::memcpy(&offset, bitmap.data() + 10, 4);
    if (offset + 4 > bitmap.size())
        return 0xFFFFFFFF;
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, bitmap.data() + offset, 4);
    return pixel & 0x00FFFFFF;
}

void Command(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 1), 0); }
void Key(HWND window, WPARAM key) { PostMessageW(window, WM_KEYDOWN, key, 1); }

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

class PlaybackUi : public testing::Test {
protected:
    void SetUp() override
    {
        videos_ = installation_.Dir().File(L"videos");
        buffers_ = installation_.Dir().File(L"tampon");
        shots_ = installation_.Dir().File(L"captures");
        CreateDirectoryW(videos_.c_str(), nullptr);
        CreateDirectoryW(buffers_.c_str(), nullptr);
        CreateDirectoryW(shots_.c_str(), nullptr);
        installation_.SetSetting(L"R\u00e9pertoire screenshots", shots_.c_str());
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
    std::wstring shots_;
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
    ASSERT_TRUE(WaitUntil([&] { return PlaybackBarShown(window_); }, 5000));
    // "00:00:01 / 00:00:09": the duration runs from the first PCR to the last.
    std::wstring text;
    ASSERT_TRUE(WaitUntil([&] { return ClockSeconds(text = PlaybackBarText(window_), 11) >= 0; }, 3000)) << text;
    EXPECT_EQ(text.substr(8, 3), L" / ");
    const int duration = ClockSeconds(text, 11);
    const double recorded = RecordedSeconds(path);
    EXPECT_GE(duration, recorded - 1.5) << "the file's clock runs " << recorded << " s";
    EXPECT_LE(duration, recorded + 0.5) << "the file's clock runs " << recorded << " s";

    // A click in the middle of the slider while it plays lands within a second
    // of its place, and playing goes on from there.
    PostMessageW(window_, kPlaybackSeekMessage, kPlaybackSeekScale / 2, 0);
    EXPECT_TRUE(WaitUntil([&] {
        const int at = ClockSeconds(PlaybackBarText(window_), 0);
        return at >= duration / 2 - 1 && at <= duration / 2 + 1;
    }, 1000)) << PlaybackBarText(window_);
    EXPECT_TRUE(WaitUntil([&] { return ClockSeconds(PlaybackBarText(window_), 0) >= duration / 2 + 1; }, 3000))
        << PlaybackBarText(window_);
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-file.bmp"));
    Key(window_, VK_HOME);
    EXPECT_TRUE(WaitUntil([&] { return ClockSeconds(PlaybackBarText(window_), 0) <= 1; }, 1000))
        << PlaybackBarText(window_);

    // "Direct": the bar goes, live television again.
    Command(window_, IDC_PLAYBACK_DIRECT);
    EXPECT_TRUE(WaitUntil([&] { return !PlaybackBarShown(window_); }, 3000));
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
    ASSERT_TRUE(WaitUntil([&] { return PlaybackBarShown(window_); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return ClockSeconds(PlaybackBarText(window_), 0) >= 1; }, 3000))
        << PlaybackBarText(window_);
    const WindowPicture playing = ReadWindowPicture(window_, installation_.Path());
    SaveScreenshot(playing, L"playback-ui-radio.bmp");
    EXPECT_FALSE(ShowsColour(playing, Colour()));

    Command(window_, IDC_PLAYBACK_DIRECT);
    EXPECT_TRUE(WaitUntil([&] { return !PlaybackBarShown(window_); }, 3000));
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
    EXPECT_FALSE(PlaybackBarShown(window_));
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-refused.bmp"));
    Close();
}

TEST_F(PlaybackUi, PausingLiveTelevisionBuffersItAndDirectDropsTheBuffer)
{
    // Nothing is written while simply watching.
    EXPECT_TRUE(FilesIn(buffers_, L"*").size() == 2u);  // "." and ".."
    Key(window_, 'P');
    ASSERT_TRUE(WaitUntil([&] { return PlaybackBarShown(window_); }, 3000));
    const ULONGLONG paused = GetTickCount64();
    EXPECT_EQ(FilesIn(buffers_, L"*.tmp").size(), 1u);
    // A snapshot while paused saves the still on the screen: one taken at once
    // and one seconds later are the same picture of the channel, whatever the
    // live renderer presented after the pause.
    Command(window_, IDM_SNAPSHOT);
    Sleep(2500);
    Command(window_, IDM_SNAPSHOT);
    std::vector<std::wstring> shots;
    ASSERT_TRUE(WaitUntil([&] { return (shots = FilesIn(shots_, L"*.bmp")).size() == 2u; }, 2000));
    const std::string first = Contents(shots_ + L"\\" + shots[0]);
    EXPECT_EQ(CornerColour(first), Colour());
    EXPECT_TRUE(first == Contents(shots_ + L"\\" + shots[1]));
    const ULONGLONG since = GetTickCount64() - paused;
    Sleep(since < 5000 ? static_cast<DWORD>(5000 - since) : 0);
    Key(window_, VK_PAUSE);
    EXPECT_TRUE(WaitUntil([&] { return PlaybackBarText(window_) == L"-00:00:05"; }, 1000)) << PlaybackBarText(window_);
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-time-shift.bmp"));

    // "Direct" returns to live television and deletes the buffer.
    Command(window_, IDC_PLAYBACK_DIRECT);
    EXPECT_TRUE(WaitUntil([&] { return !PlaybackBarShown(window_); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return FilesIn(buffers_, L"*.tmp").empty(); }, 3000));
    EXPECT_TRUE(WaitForPicture(window_, installation_.Path(), Colour(), 5000, L"playback-ui-direct.bmp"));

    // Closing while paused deletes it too.
    Key(window_, 'P');
    ASSERT_TRUE(WaitUntil([&] { return FilesIn(buffers_, L"*.tmp").size() == 1u; }, 3000));
    Close();
    EXPECT_TRUE(FilesIn(buffers_, L"*.tmp").empty());
}

}  // namespace
