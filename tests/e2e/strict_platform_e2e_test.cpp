// The main user flows against a platform as strict as Windows' own components: every
// strict switch of the stand-ins at once (packets split across samples, BDA output pins
// created on demand, an antenna that accepts its samples, a slow lock, a tuner that
// forgets its frequency when stopped, the documented sections filter, no AC-3 decoder,
// strict audio format blocks, PSI spread over time), then the same without the
// sections filter at all. Each flow is its own test so that a failure names the flow.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channels/psi/ts_packet.h"
#include "common/text_convert.h"
#include "demo_guide.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "resources/resource_ids.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

constexpr char kAllSwitches[] =
    "odd-samples,lazy-pins,accepting-antenna,slow-lock=1500,forgetful,strict-sections,no-ac3,strict-aac,slow-psi";
constexpr char kWithoutSections[] =
    "odd-samples,lazy-pins,accepting-antenna,slow-lock=1500,forgetful,strict-sections,no-ac3,strict-aac,slow-psi,"
    "no-sections";

// A scan waits for every lock and spreads sections: far longer than on the lenient platform.
constexpr DWORD kScanTimeoutMs = 180000;
constexpr DWORD kPictureTimeoutMs = 30000;

std::string ToUtf8(const std::wstring& text)
{
    return NarrowText(text, CodePage::Utf8);
}

// The switches are given to the program only: the test process keeps the lenient
// stand-ins for what it does itself (registration). BRISOME_E2E_STANDINS, when set,
// replaces them, to find which switch a flow trips over.
Program StartStrict(const Installation& installation, const char* switches)
{
    char chosen[512];
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableA("BRISOME_E2E_STANDINS", chosen, sizeof chosen);
    const bool replaced = length < sizeof chosen && (length > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND);
    SetEnvironmentVariableA("BRISOME_STANDINS", replaced ? chosen : switches);
    Program program = installation.Start();
    SetEnvironmentVariableA("BRISOME_STANDINS", nullptr);
    return program;
}

// ---- the configuration dialog

constexpr int kCity = 1001;
constexpr int kVideo = 1002;
constexpr int kAudio = 1003;
constexpr int kAc3 = 1004;
constexpr int kTuner = 1009;

HWND WaitForConfigDialog(DWORD processId)
{
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(processId, L"Configuration")) != nullptr; }, 30000);
    return dialog;
}

bool Choose(HWND dialog, int comboId, const wchar_t* name)
{
    const LRESULT index = SendDlgItemMessageW(dialog, comboId, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(name));
    if (index == CB_ERR) return false;
    SendDlgItemMessageW(dialog, comboId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

// ---- the recording

using Packets = std::vector<std::string>;

std::string ReadAll(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::uint16_t PidOf(const std::string& packet)
{
    return static_cast<std::uint16_t>((static_cast<unsigned char>(packet[1]) & 0x1F) << 8 |
                                      static_cast<unsigned char>(packet[2]));
}

std::map<std::uint16_t, Packets> PacketsByPid(const std::string& stream)
{
    std::map<std::uint16_t, Packets> byPid;
    for (size_t at = 0; at + kTsPacketSize <= stream.size(); at += kTsPacketSize) {
        std::string packet = stream.substr(at, kTsPacketSize);
        byPid[PidOf(packet)].push_back(std::move(packet));
    }
    return byPid;
}

// Whether `recorded` is a run of consecutive packets of `source`, which the tuner plays
// in a loop. Compared PID by PID: spreading the tables over time moves PSI packets
// against the others, but never within their own PID.
bool IsLoopedRun(const Packets& recorded, const Packets& source)
{
    if (recorded.empty() || source.empty()) return false;
    for (size_t start = 0; start < source.size(); ++start) {
        if (source[start] != recorded[0]) continue;
        size_t i = 1;
        while (i < recorded.size() && recorded[i] == source[(start + i) % source.size()]) ++i;
        if (i == recorded.size()) return true;
    }
    return false;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The broadcast file the tuner plays for the channel (Installation::Start named the folder).
std::wstring SourceStream(const Chaine& channel)
{
    wchar_t folder[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + std::to_wstring(channel.Frequence) + L".ts";
}

unsigned MenuState(HWND window, const std::wstring& dir, unsigned id)
{
    for (const MenuEntry& e : ReadMenuBar(window, dir))
        if (e.kind == "item" && e.id == id) return e.state;
    return 0xFFFFFFFF;
}

bool IsRecording(HWND window, const std::wstring& dir)
{
    return !(MenuState(window, dir, IDM_STOP_RECORDING) & MFS_GRAYED);
}

// ---- the fixture

struct Channels {
    ChannelList list;
    int otherMultiplex = -1;  // first channel on another frequency than channel 0
    int h264 = -1;            // first H.264 channel
};

Channels Survey(const ChannelList& list)
{
    Channels found{list};
    for (size_t i = 1; i < list.size(); ++i) {
        if (found.otherMultiplex < 0 && list[i].Frequence != list[0].Frequence)
            found.otherMultiplex = static_cast<int>(i);
        if (found.h264 < 0 && list[i].VideoCodec == StreamCodec::H264) found.h264 = static_cast<int>(i);
    }
    return found;
}

class StrictPlatform : public testing::TestWithParam<const char*> {
protected:
    // Boxes shown by the program: at most one, and only about the missing AC-3 decoder.
    static void ExpectOnlyTheMissingDecoderReported(const MessageBoxWatcher& boxes)
    {
        const std::vector<std::wstring> texts = boxes.Texts();
        EXPECT_LE(texts.size(), 1u) << "the missing decoder is reported once";
        for (const std::wstring& text : texts)
            EXPECT_NE(text.find(L"AC-3"), std::wstring::npos) << ToUtf8(text);
    }

    static bool Shows(HWND window, const Installation& installation, const Chaine& channel, const wchar_t* screenshot)
    {
        return WaitForPicture(window, installation.Path(), standin::TestPictureBackground(channel.Video),
                              kPictureTimeoutMs, screenshot);
    }

    static void Close(HWND window, Program& program)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit(30000));
        EXPECT_EQ(program.ExitCode(), 0u);
    }
};

TEST_P(StrictPlatform, FirstStartConfiguresScansTheCityAndShowsTheFirstPicture)
{
    Installation installation(false);
    DeleteFileW(installation.Dir().File(L"config.ini").c_str());
    Program program = StartStrict(installation, GetParam());
    HWND dialog = WaitForConfigDialog(program.Id());
    ASSERT_NE(dialog, nullptr) << "no configuration dialog at the first start";
    // No AC-3 decoder on this machine: that choice stays empty.
    EXPECT_TRUE(Choose(dialog, kCity, L"D\u00e9mo"));
    ASSERT_TRUE(Choose(dialog, kTuner, L"Tuner TNT virtuel Brisome")) << "the tuner is not offered";
    EXPECT_TRUE(Choose(dialog, kVideo, L"Brisome MPEG-2 Video Decoder"));
    EXPECT_TRUE(Choose(dialog, kAudio, L"Brisome MPEG Audio Decoder"));
    SendDlgItemMessageW(dialog, kAc3, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    const DWORD started = GetTickCount();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    MessageBoxWatcher boxes(program.Id());

    HWND window = program.WaitForMainWindow(30000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, kScanTimeoutMs))
        << "the scan found nothing to play";
    const Channels channels = Survey(installation.Channels());
    ASSERT_FALSE(channels.list.empty());
    // Every multiplex of the city, despite the slow lock and the spread tables.
    EXPECT_GE(channels.otherMultiplex, 0) << "a single multiplex found";
    EXPECT_GE(channels.h264, 0) << "the HD multiplex was lost";
    EXPECT_TRUE(Shows(window, installation, channels.list[0], L"strict-first-start.bmp"))
        << "no picture of video PID " << channels.list[0].Video;
    std::printf("first start to first picture: %lu ms\n", static_cast<unsigned long>(GetTickCount() - started));
    ExpectOnlyTheMissingDecoderReported(boxes);
    Close(window, program);
}

TEST_P(StrictPlatform, ChannelChangesAcrossMultiplexesAndToH264ShowTheirPictures)
{
    Installation installation;
    const Channels channels = Survey(installation.Channels());
    ASSERT_GE(channels.otherMultiplex, 0);
    ASSERT_GE(channels.h264, 0);
    Program program = StartStrict(installation, GetParam());
    MessageBoxWatcher boxes(program.Id());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Shows(window, installation, channels.list[0], L"strict-first.bmp")) << "no first picture";

    for (int index : {channels.otherMultiplex, channels.h264, 0}) {
        const Chaine& channel = channels.list[static_cast<size_t>(index)];
        SCOPED_TRACE(ToUtf8(ShownName(channel)));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(index, 0), 0);
        EXPECT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channel); }, 10000));
        EXPECT_TRUE(Shows(window, installation, channel, L"strict-channel-change.bmp"))
            << "no picture of video PID " << channel.Video;
    }
    ExpectOnlyTheMissingDecoderReported(boxes);
    Close(window, program);
}

TEST_P(StrictPlatform, AServiceRecordingIsPacketExactAgainstTheSource)
{
    Installation installation;
    const std::wstring folder = installation.Dir().File(L"videos");
    CreateDirectoryW(folder.c_str(), nullptr);
    installation.SetSetting(L"R\u00e9pertoire vid\u00e9o", folder.c_str());
    const ChannelList channels = installation.Channels();
    ASSERT_FALSE(channels.empty());
    const Chaine& channel = channels[0];
    Program program = StartStrict(installation, GetParam());
    MessageBoxWatcher boxes(program.Id());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Shows(window, installation, channel, L"strict-before-recording.bmp"));

    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_RECORD_SERVICE, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return IsRecording(window, installation.Path()); }, 5000));
    Sleep(4000);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_STOP_RECORDING, 1), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsRecording(window, installation.Path()); }, 5000));
    const std::vector<std::wstring> files = FilesIn(folder, L"*.mpg");
    ASSERT_EQ(files.size(), 1u);
    const std::string recorded = ReadAll(folder + L"\\" + files[0]);

    ASSERT_GT(recorded.size(), 100 * kTsPacketSize);
    EXPECT_EQ(recorded.size() % kTsPacketSize, 0u) << "a packet cut at a sample boundary";
    std::set<std::uint16_t> expected = {0, static_cast<std::uint16_t>(channel.PMT),
                                        static_cast<std::uint16_t>(channel.Video),
                                        static_cast<std::uint16_t>(channel.Son1)};
    if (channel.PCR != kNoPcrPid) expected.insert(static_cast<std::uint16_t>(channel.PCR));
    const std::map<std::uint16_t, Packets> source =
        PacketsByPid(ReadAll(SourceStream(channel)));
    const std::map<std::uint16_t, Packets> byPid = PacketsByPid(recorded);
    std::set<std::uint16_t> seen;
    for (const auto& [pid, packets] : byPid) {
        seen.insert(pid);
        const auto from = source.find(pid);
        ASSERT_NE(from, source.end()) << "PID " << pid << " is not in the broadcast";
        EXPECT_TRUE(IsLoopedRun(packets, from->second)) << "PID " << pid << ": packets lost, doubled or changed";
    }
    EXPECT_EQ(seen, expected);
    ExpectOnlyTheMissingDecoderReported(boxes);
    Close(window, program);
}

TEST_P(StrictPlatform, TheStatusBarShowsTheGuideOfTheChosenChannel)
{
    Installation installation;
    const Channels channels = Survey(installation.Channels());
    ASSERT_GE(channels.otherMultiplex, 0);
    Program program = StartStrict(installation, GetParam());
    MessageBoxWatcher boxes(program.Id());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    for (int index : {0, channels.otherMultiplex}) {
        const Chaine& channel = channels.list[static_cast<size_t>(index)];
        SCOPED_TRACE(ToUtf8(ShownName(channel)));
        const std::vector<std::wstring> expected = DemoStatusTexts(channel);
        if (index != 0) PostMessageW(window, WM_COMMAND, MAKEWPARAM(index, 0), 0);
        std::vector<std::wstring> shown;
        EXPECT_TRUE(WaitUntil(
            [&] { return (shown = ReadControlTexts(window, installation.Path()).statusParts) == expected; }, 30000))
            << "shown: " << testing::PrintToString(shown) << "\nexpected: " << testing::PrintToString(expected);
    }
    ExpectOnlyTheMissingDecoderReported(boxes);
    Close(window, program);
}

INSTANTIATE_TEST_SUITE_P(Switches, StrictPlatform, testing::Values(kAllSwitches, kWithoutSections),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "AllSwitches" : "AllSwitchesWithoutSectionsFilter");
                         });

}  // namespace
