// Recording a service or the whole multiplex, snapshots and the folder browser,
// driven as a user would and checked on the files written.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "recorded_packets.h"
#include "resources/resource_ids.h"

namespace {


std::string ReadAll(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// What a program of the host prints about `path` (Wine starts it like any other),
// given its options: `tool` is its Unix path. Wine gives no handle to wait on for a
// host program: its answer is awaited in its output file.
std::string HostToolOutput(const std::string& tool, const std::string& options, const std::wstring& path,
                           const wchar_t* extension)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return "no wine_get_unix_file_name";
    // A plain name, so that the command line needs no quoting or conversion.
    static int calls = 0;
    const std::wstring stem =
        path.substr(0, path.find_last_of(L'\\') + 1) + L"host-tool-" + std::to_wstring(++calls);
    const std::wstring copy = stem + extension;
    const std::wstring out = stem + L".txt";
    if (!CopyFileW(path.c_str(), copy.c_str(), FALSE))
        return "copy failed";
    char* unixCopy = unixName(copy.c_str());
    if (!unixCopy)
        return "no unix name";
    const std::string command = tool + " " + options + " " + unixCopy;
    HeapFree(GetProcessHeap(), 0, unixCopy);
    std::wstring line(command.begin(), command.end());
    std::wstring program = L"Z:" + std::wstring(tool.begin(), tool.end());
    for (wchar_t& c : program)
        if (c == L'/')
            c = L'\\';

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output;
    si.hStdError = output;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(output);
    if (!started)
        return tool + " not started, error " + std::to_string(GetLastError());
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string said;
    WaitUntil([&] { return !(said = ReadAll(out)).empty(); }, 20000);
    // Written in pieces, maybe: taken once it stays the same a while.
    for (std::string again; Sleep(300), (again = ReadAll(out)) != said;)
        said = again;
    return said;
}

// What ImageMagick's identify reads from a bitmap: "WIDTHxHEIGHT", or its complaint.
std::string IdentifySize(const std::wstring& path)
{
    return HostToolOutput("/usr/bin/identify", "-format %wx%h", path, L".bmp");
}

std::wstring SourceStream(const Chaine& channel)
{
    wchar_t folder[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + std::to_wstring(channel.Frequence) + L".ts";
}

// The shell's folder browser shown by process `processId`, or null.
HWND FindFolderBrowser(DWORD processId)
{
    for (HWND dialog : WindowsOfClass(L"#32770")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(dialog, &owner);
        if (owner == processId && IsWindowVisible(dialog) && FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr))
            return dialog;
    }
    return nullptr;
}

BOOL CALLBACK CollectText(HWND child, LPARAM texts)
{
    wchar_t text[512] = L"";
    GetWindowTextW(child, text, 512);
    reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
    return TRUE;
}

bool ShowsText(HWND dialog, const std::wstring& wanted)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectText, reinterpret_cast<LPARAM>(&texts));
    for (const std::wstring& t : texts)
        if (t == wanted)
            return true;
    return false;
}

// A key of config.ini as the file holds it now (read whole: the profile functions
// of this process could answer from a cache).
std::wstring Setting(const ScratchDir& dir, const wchar_t* key)
{
    const std::string bytes = ReadAll(dir.File(L"config.ini"));
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    const std::wstring prefix = std::wstring(key) + L"=";
    const size_t at = text.find(L"\n" + prefix);
    if (at == std::wstring::npos)
        return L"";
    const size_t start = at + 1 + prefix.size();
    return text.substr(start, text.find_first_of(L"\r\n", start) - start);
}

// A command as its accelerator sends it.
void Command(HWND window, int id)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 1), 0);
}

unsigned MenuState(HWND window, const ScratchDir& dir, unsigned id)
{
    for (const MenuEntry& e : ReadMenuBar(window, dir.Path()))
        if (e.kind == "item" && e.id == id)
            return e.state;
    return 0xFFFFFFFF;
}

bool IsRecordingMenu(HWND window, const ScratchDir& dir)
{
    return (MenuState(window, dir, IDM_RECORD_SERVICE) & MFS_GRAYED) &&
           (MenuState(window, dir, IDM_RECORD_MULTIPLEX) & MFS_GRAYED) &&
           !(MenuState(window, dir, IDM_STOP_RECORDING) & MFS_GRAYED);
}

bool IsIdleMenu(HWND window, const ScratchDir& dir)
{
    return !(MenuState(window, dir, IDM_RECORD_SERVICE) & MFS_GRAYED) &&
           !(MenuState(window, dir, IDM_RECORD_MULTIPLEX) & MFS_GRAYED) &&
           (MenuState(window, dir, IDM_STOP_RECORDING) & MFS_GRAYED);
}

class Recording : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = installation_.Dir().File(L"videos");
        CreateDirectoryW(folder_.c_str(), nullptr);
        installation_.SetSetting(L"R\u00e9pertoire vid\u00e9o", folder_.c_str());
        channels_ = installation_.Channels();
        ASSERT_FALSE(channels_.empty());
    }

    HWND StartShowingFirstChannel()
    {
        program_ = std::make_unique<Program>(installation_.Start());
        HWND window = program_->WaitForMainWindow();
        if (window && !WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels_[0]); }, 20000))
            return nullptr;
        return window;
    }

    void Close(HWND window)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program_->WaitForExit());
        EXPECT_EQ(program_->ExitCode(), 0u);
    }

    // Records for `ms`, stops, and returns the one recording made.
    std::string RecordFor(HWND window, int command, DWORD ms)
    {
        Command(window, command);
        EXPECT_TRUE(WaitUntil([&] { return IsRecordingMenu(window, installation_.Dir()); }, 5000));
        Sleep(ms);
        // A second start while recording does nothing (Ctrl+Space, Ctrl+M).
        Command(window, IDM_RECORD_SERVICE);
        Command(window, IDM_RECORD_MULTIPLEX);
        Command(window, IDM_STOP_RECORDING);
        EXPECT_TRUE(WaitUntil([&] { return IsIdleMenu(window, installation_.Dir()); }, 5000));
        const auto files = FilesIn(folder_, L"*.mpg");
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? std::string() : ReadAll(folder_ + L"\\" + files[0]);
    }

    Installation installation_;
    ChannelList channels_;
    std::wstring folder_;
    std::unique_ptr<Program> program_;
};

TEST_F(Recording, AServiceRecordingHoldsARunOfItsPacketsOnly)
{
    HWND window = StartShowingFirstChannel();
    ASSERT_NE(window, nullptr);
    const Chaine& channel = channels_[0];

    // Ctrl+Enter while idle does nothing.
    Command(window, IDM_STOP_RECORDING);
    Sleep(300);
    EXPECT_TRUE(IsIdleMenu(window, installation_.Dir()));

    const std::string recorded = RecordFor(window, IDM_RECORD_SERVICE, 3000);
    const auto files = FilesIn(folder_, L"*.mpg");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].rfind(ShownName(channel) + L" ", 0), 0u) << "named after the channel";

    std::set<std::uint16_t> expected = {0, static_cast<std::uint16_t>(channel.PMT),
                                        static_cast<std::uint16_t>(channel.Video),
                                        static_cast<std::uint16_t>(channel.Son1)};
    if (channel.PCR != kNoPcrPid)
        expected.insert(static_cast<std::uint16_t>(channel.PCR));
    auto kept = [&](std::uint16_t pid) { return expected.count(pid) != 0; };

    ASSERT_GT(recorded.size(), 100 * kTsPacketSize);
    EXPECT_EQ(recorded.size() % kTsPacketSize, 0u);
    const Packets packets = PacketsOf(recorded, [](std::uint16_t) { return true; });
    std::set<std::uint16_t> seen;
    for (const std::string& p : packets) {
        EXPECT_EQ(p[0], '\x47');
        seen.insert(PidOf(p));
    }
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(IsLoopedRun(packets, PacketsOf(ReadAll(SourceStream(channel)), kept)));
    Close(window);
}

TEST_F(Recording, AnHdServiceRecordingHoldsItsH264PictureAndItsEac3Sound)
{
    int hd = -1;
    for (size_t i = 0; i < channels_.size() && hd < 0; ++i)
        if (channels_[i].VideoCodec == StreamCodec::H264 && channels_[i].Ac3Codec == StreamCodec::Eac3)
            hd = static_cast<int>(i);
    ASSERT_GE(hd, 0) << "the demo broadcast has an H.264 service with E-AC-3 sound";
    const Chaine& channel = channels_[static_cast<size_t>(hd)];
    HWND window = StartShowingFirstChannel();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(hd, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channel); }, 10000));
    Command(window, IDM_AC3_TRACK);
    ASSERT_TRUE(WaitUntil([&] { return (MenuState(window, installation_.Dir(), IDM_AC3_TRACK) & MFS_GRAYED) != 0; },
                          5000));

    const std::string recorded = RecordFor(window, IDM_RECORD_SERVICE, 3000);
    const auto files = FilesIn(folder_, L"*.mpg");
    ASSERT_EQ(files.size(), 1u);
    const std::string codecs = HostToolOutput(
        "/usr/bin/ffprobe", "-v error -show_entries stream=codec_name -of csv=p=0", folder_ + L"\\" + files[0], L".ts");
    EXPECT_NE(codecs.find("h264"), std::string::npos) << codecs;
    EXPECT_NE(codecs.find("eac3"), std::string::npos) << codecs;
    // ffprobe names every stream of the recorded PMT; the packets are those of the
    // track heard only.
    std::set<std::uint16_t> seen;
    for (const std::string& p : PacketsOf(recorded, [](std::uint16_t) { return true; }))
        seen.insert(PidOf(p));
    EXPECT_EQ(seen.count(static_cast<std::uint16_t>(channel.Ac3)), 1u);
    EXPECT_EQ(seen.count(static_cast<std::uint16_t>(channel.Son1)), 0u);
    Close(window);
}

// A channel of another video codec on the recorded multiplex would stop the graph,
// and the recording with it: the change is refused with a message, the recording
// goes on and the channel stays.
TEST_F(Recording, AChannelNeedingAnotherDecoderIsRefusedWhileRecording)
{
    int h264 = -1, hevc = -1;
    for (size_t i = 0; i < channels_.size(); ++i) {
        if (h264 < 0 && channels_[i].VideoCodec == StreamCodec::H264)
            h264 = static_cast<int>(i);
        if (hevc < 0 && channels_[i].VideoCodec == StreamCodec::Hevc)
            hevc = static_cast<int>(i);
    }
    ASSERT_TRUE(h264 >= 0 && hevc >= 0);
    const Chaine& channel = channels_[static_cast<size_t>(h264)];
    ASSERT_EQ(channels_[static_cast<size_t>(hevc)].Frequence, channel.Frequence) << "one HD multiplex";
    HWND window = StartShowingFirstChannel();
    ASSERT_NE(window, nullptr);
    MessageBoxWatcher boxes(program_->Id());
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(h264, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channel); }, 10000));

    Command(window, IDM_RECORD_SERVICE);
    ASSERT_TRUE(WaitUntil([&] { return IsRecordingMenu(window, installation_.Dir()); }, 5000));
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(hevc, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return !boxes.Texts().empty(); }, 5000));
    EXPECT_EQ(boxes.Texts()[0].rfind(L"Cette cha\u00eene demande un autre d\u00e9codeur", 0), 0u);
    Sleep(300);
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channel));
    EXPECT_TRUE(IsRecordingMenu(window, installation_.Dir()));
    Sleep(2000);
    Command(window, IDM_STOP_RECORDING);
    EXPECT_TRUE(WaitUntil([&] { return IsIdleMenu(window, installation_.Dir()); }, 5000));
    // One recording, of the H.264 service, through the refusal to the stop.
    const auto files = FilesIn(folder_, L"*.mpg");
    ASSERT_EQ(files.size(), 1u);
    std::set<std::uint16_t> seen;
    for (const std::string& p : PacketsOf(ReadAll(folder_ + L"\\" + files[0]), [](std::uint16_t) { return true; }))
        seen.insert(PidOf(p));
    EXPECT_EQ(seen.count(static_cast<std::uint16_t>(channel.Video)), 1u);

    // Stopped, the change goes ahead.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(hevc, 0), 0);
    EXPECT_TRUE(WaitUntil(
        [&] { return StatusBarChannelName(window) == ShownName(channels_[static_cast<size_t>(hevc)]); }, 10000));
    EXPECT_EQ(boxes.Texts().size(), 1u);
    Close(window);
}

TEST_F(Recording, AMultiplexRecordingHoldsEveryPacketButTheNullOnes)
{
    HWND window = StartShowingFirstChannel();
    ASSERT_NE(window, nullptr);
    const std::string recorded = RecordFor(window, IDM_RECORD_MULTIPLEX, 3000);
    EXPECT_EQ(recorded.size() % kTsPacketSize, 0u);
    const auto files = FilesIn(folder_, L"Transport Stream *.mpg");
    EXPECT_EQ(files.size(), 1u);

    const Packets packets = PacketsOf(recorded, [](std::uint16_t) { return true; });
    const Packets source = PacketsOf(ReadAll(SourceStream(channels_[0])), [](std::uint16_t pid) {
        return pid != kTsNullPid;
    });
    ASSERT_GT(packets.size(), 100u);
    EXPECT_TRUE(IsLoopedRun(packets, source));
    std::set<std::uint16_t> seen;
    for (const std::string& p : packets)
        seen.insert(PidOf(p));
    EXPECT_EQ(seen.count(kTsNullPid), 0u);
    EXPECT_GT(seen.size(), 5u);  // tables and every service's streams

    // Closing the program while recording ends with a closed file of whole
    // packets, beside the first one, not over it.
    Command(window, IDM_RECORD_MULTIPLEX);
    ASSERT_TRUE(WaitUntil([&] { return IsRecordingMenu(window, installation_.Dir()); }, 5000));
    Sleep(1000);
    Close(window);
    const auto after = FilesIn(folder_, L"*.mpg");
    ASSERT_EQ(after.size(), 2u);
    for (const std::wstring& name : after) {
        const std::string bytes = ReadAll(folder_ + L"\\" + name);
        EXPECT_GT(bytes.size(), 0u);
        EXPECT_EQ(bytes.size() % kTsPacketSize, 0u);
    }
}

TEST_F(Recording, ARecordingThatCannotBeCreatedIsReportedAndNotEntered)
{
    const std::wstring missing = installation_.Dir().File(L"nulle-part");
    installation_.SetSetting(L"R\u00e9pertoire vid\u00e9o", missing.c_str());
    HWND window = StartShowingFirstChannel();
    ASSERT_NE(window, nullptr);
    MessageBoxWatcher boxes(program_->Id());
    Command(window, IDM_RECORD_SERVICE);
    ASSERT_TRUE(boxes.WaitFor(1));
    const std::wstring text = boxes.Texts()[0];
    EXPECT_NE(text.find(L"Impossible de cr\u00e9er le fichier d'enregistrement"), std::wstring::npos) << text;
    EXPECT_NE(text.find(missing + L"\\"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Le dossier n'existe pas"), std::wstring::npos) << text;
    Sleep(300);
    EXPECT_TRUE(IsIdleMenu(window, installation_.Dir()));
    Close(window);
}

TEST_F(Recording, CtrlXWritesBitmapsThatNeverReplaceEachOther)
{
    const std::wstring shots = installation_.Dir().File(L"captures\\");
    CreateDirectoryW(shots.c_str(), nullptr);
    installation_.SetSetting(L"R\u00e9pertoire screenshots", shots.c_str());
    HWND window = StartShowingFirstChannel();
    ASSERT_NE(window, nullptr);
    // The decoder's test picture must be on the screen first.
    Sleep(1500);
    Command(window, IDM_SNAPSHOT);
    Command(window, IDM_SNAPSHOT);
    std::vector<std::wstring> files;
    ASSERT_TRUE(WaitUntil([&] { return (files = FilesIn(shots, L"*.bmp")).size() == 2; }, 5000));
    for (const std::wstring& name : files) {
        SCOPED_TRACE(testing::Message() << "file " << testing::PrintToString(name));
        EXPECT_EQ(name.rfind(ShownName(channels_[0]) + L" ", 0), 0u);
        const std::string bytes = ReadAll(shots + name);
        ASSERT_GT(bytes.size(), 54u);
        BITMAPFILEHEADER file;
        BITMAPINFOHEADER info;
        std::memcpy(&file, bytes.data(), sizeof file);
        std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
        EXPECT_EQ(file.bfType, 0x4D42);
        EXPECT_EQ(file.bfSize, bytes.size());
        EXPECT_EQ(file.bfOffBits, 54u);
        EXPECT_EQ(info.biWidth, 720);
        EXPECT_EQ(std::abs(info.biHeight), 576);
        EXPECT_EQ(IdentifySize(shots + name), "720x576");
    }
    Close(window);
}

TEST_F(Recording, ASnapshotWithoutPictureSaysSo)
{
    // No broadcast on the air: the video renderer never gets a picture.
    installation_.SetSetting(L"R\u00e9pertoire screenshots", folder_.c_str());
    SetEnvironmentVariableW(L"BRISOME_BROADCAST_DIR", installation_.Dir().File(L"silence").c_str());
    program_ = std::make_unique<Program>(installation_.Path());
    HWND window = program_->WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    Sleep(2000);
    MessageBoxWatcher boxes(program_->Id());
    Command(window, IDM_SNAPSHOT);
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_EQ(boxes.Texts()[0], L"Aucune image \u00e0 capturer : la vid\u00e9o n'est pas affich\u00e9e.");
    EXPECT_TRUE(FilesIn(folder_, L"*.bmp").empty());
    Close(window);
}

TEST_F(Recording, TheFolderBrowserSavesAChoiceAtOnceAndNothingOnCancel)
{
    const wchar_t* videoKey = L"R\u00e9pertoire vid\u00e9o";
    const wchar_t* snapshotKey = L"R\u00e9pertoire screenshots";
    HWND window = StartShowingFirstChannel();
    ASSERT_NE(window, nullptr);

    // Choose: confirm the folder the browser shows selected. The choice is saved
    // at once, not at exit. (Wine's browser does not move its selection to the
    // folder chosen before, and has no keyboard path to a given folder: the test
    // takes the folder it offers.)
    Command(window, IDM_VIDEO_FOLDER);
    HWND browser = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (browser = FindFolderBrowser(program_->Id())) != nullptr; }, 10000));
    EXPECT_TRUE(ShowsText(browser, L"Choisissez le r\u00e9pertoire o\u00f9 seront enregistr\u00e9es les vid\u00e9os :"));
    installation_.SetSetting(videoKey, L"avant");
    Sleep(500);
    PostMessageW(browser, WM_COMMAND, IDOK, 0);
    std::wstring chosen;
    ASSERT_TRUE(WaitUntil([&] {
        chosen = Setting(installation_.Dir(), videoKey);
        return !chosen.empty() && chosen != L"avant";
    }, 5000));
    const DWORD attributes = GetFileAttributesW(chosen.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        << testing::PrintToString(chosen);

    // Cancel: nothing changes, nothing is saved.
    Command(window, IDM_SNAPSHOT_FOLDER);
    ASSERT_TRUE(WaitUntil([&] { return (browser = FindFolderBrowser(program_->Id())) != nullptr; }, 10000));
    EXPECT_TRUE(ShowsText(browser,
                          L"Choisissez le r\u00e9pertoire o\u00f9 seront enregistr\u00e9es les captures d'\u00e9cran :"));
    installation_.SetSetting(snapshotKey, L"inchang\u00e9");
    PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindFolderBrowser(program_->Id()) == nullptr; }, 5000));
    Sleep(300);
    EXPECT_EQ(Setting(installation_.Dir(), snapshotKey), L"inchang\u00e9");
    Close(window);
}

}  // namespace
