// Timed recordings carried out by the program: timers written into guide.db
// before it starts record their services into files of their own, at the same
// time when they share a multiplex; a timer whose window passed while the
// program was closed is marked missed; a recording longer than the disk holds
// is told and runs all the same, until its timer is removed from the list.
// Checked on the files, the store and the message boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "recorded_packets.h"
#include "record/timers/timer_store.h"
#include "resources/resource_ids.h"
#include "timer_broadcast.h"

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

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.mpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        if (found.nFileSizeLow > 0 || found.nFileSizeHigh > 0)
            names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The size of the first file of `folder` whose name starts with `prefix`.
std::uint64_t SizeOf(const std::wstring& folder, const std::wstring& prefix)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + prefix + L"*.mpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
}

std::string Utf8(const std::wstring& text)
{
    std::string out(text.size() * 4, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                       out.data(), static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

class TimerRunner : public testing::Test {
protected:
    void SetUp() override
    {
        // Without the broadcast's clock the program goes by the PC's, the one
        // the timers below are set by.
        static const std::wstring broadcast = GenerateBroadcast(TimerBroadcast({}));
        broadcast_ = broadcast;
        ASSERT_FALSE(broadcast_.empty()) << "tsgen could not make the broadcast";
        folder_ = installation_.Dir().File(L"videos");
        CreateDirectoryW(folder_.c_str(), nullptr);
        installation_.SetSetting(L"R\u00e9pertoire vid\u00e9o", folder_.c_str());
        channels_ = installation_.Channels();
    }

    const Chaine* Service(int sid) const
    {
        for (const Chaine& c : channels_)
            if (c.SID == sid)
                return &c;
        return nullptr;
    }

    Timer MakeTimer(const Chaine& channel, const char* title, std::int64_t start, std::int64_t end) const
    {
        Timer t;
        t.service = {static_cast<std::uint16_t>(channel.ONID), static_cast<std::uint16_t>(channel.TSID),
                     static_cast<std::uint16_t>(channel.SID)};
        t.channel = Utf8(ShownName(channel));
        t.title = title;
        t.start = start;
        t.end = end;
        return t;
    }

    std::filesystem::path Store() const { return std::filesystem::path(installation_.Path()) / L"guide.db"; }

    void Write(std::vector<Timer> timers) const
    {
        TimerStore store;
        ASSERT_EQ(store.Open(Store()), StoreOpenStatus::Opened) << store.message();
        for (Timer& t : timers)
            ASSERT_TRUE(store.Add(t)) << store.message();
    }

    // The timers as the program has stored them now.
    std::vector<Timer> Stored() const
    {
        TimerStore store;
        if (store.Open(Store()) != StoreOpenStatus::Opened)
            return {};
        return store.Load();
    }

    bool AllStoredIn(TimerState state) const
    {
        const std::vector<Timer> timers = Stored();
        for (const Timer& t : timers)
            if (t.state != state)
                return false;
        return !timers.empty();
    }

    HWND StartProgram()
    {
        program_ = std::make_unique<Program>(installation_.Start(broadcast_));
        return program_->WaitForMainWindow(30000);
    }

    void Close(HWND window)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program_->WaitForExit(30000));
        EXPECT_EQ(program_->ExitCode(), 0u);
    }

    Installation installation_;
    std::wstring broadcast_;
    std::wstring folder_;
    ChannelList channels_;
    std::unique_ptr<Program> program_;
};

TEST_F(TimerRunner, TwoTimersOfOneMultiplexRecordTheirServicesAtOnceForTheirWindow)
{
    const Chaine* tele = Service(0x0101);
    const Chaine* etoile = Service(0x0102);
    ASSERT_TRUE(tele && etoile);
    ASSERT_EQ(tele->Frequence, etoile->Frequence);
    // Far enough ahead for the program to be up under a busy Wine.
    const std::int64_t start = std::time(nullptr) + 12;
    constexpr std::int64_t kWindow = 5;
    Write({MakeTimer(*tele, "Journal", start, start + kWindow), MakeTimer(*etoile, "Film", start, start + kWindow)});

    HWND window = StartProgram();
    ASSERT_NE(window, nullptr);
    ASSERT_LT(std::time(nullptr), start) << "the program took too long to start for this test";
    ASSERT_TRUE(WaitUntil([&] { return FilesIn(folder_).size() == 2; }, 20000)) << "two files written at once";
    EXPECT_LE(std::time(nullptr), start + 1) << "started on time";
    // How long the recording lasted is seen from its file growing: from its
    // first bytes to its last (its size as the folder lists it: the file is not
    // shared for reading while it is written). The stand-in tuner plays at the
    // stream's own pace only as fast as a loaded machine lets the graph run, so
    // the stream time recorded is no measure of it.
    const std::wstring prefix = ShownName(*tele) + L" - Journal ";
    const ULONGLONG firstBytes = GetTickCount64();
    ULONGLONG lastBytes = firstBytes;
    std::uint64_t size = SizeOf(folder_, prefix);
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (const std::uint64_t now = SizeOf(folder_, prefix); now != size) {
                size = now;
                lastBytes = GetTickCount64();
            }
            return AllStoredIn(TimerState::Done);
        },
        20000))
        << "both \"Termin\u00e9\"";
    EXPECT_GE(std::time(nullptr), start + kWindow) << "not stopped early";
    EXPECT_NEAR(static_cast<double>(lastBytes - firstBytes) / 1000.0, static_cast<double>(kWindow), 1.0)
        << "written for the window";
    Close(window);

    struct Expected {
        const Chaine* channel;
        std::wstring prefix;
    } expected[] = {{tele, ShownName(*tele) + L" - Journal "}, {etoile, ShownName(*etoile) + L" - Film "}};
    const std::vector<std::wstring> files = FilesIn(folder_);
    ASSERT_EQ(files.size(), 2u);
    for (const Expected& e : expected) {
        SCOPED_TRACE(Utf8(e.prefix));
        const Chaine& c = *e.channel;
        std::wstring file;
        for (const std::wstring& name : files)
            if (name.rfind(e.prefix, 0) == 0)
                file = name;
        ASSERT_FALSE(file.empty()) << "named after the channel and the title";
        EXPECT_EQ(file.find(L"retard"), std::wstring::npos) << "started on time";

        const std::set<std::uint16_t> pids = {0, static_cast<std::uint16_t>(c.PMT), static_cast<std::uint16_t>(c.Video),
                                              static_cast<std::uint16_t>(c.Son1), static_cast<std::uint16_t>(c.PCR)};
        auto kept = [&](std::uint16_t pid) { return pids.count(pid) != 0; };
        const std::string recorded = ReadAll(folder_ + L"\\" + file);
        EXPECT_EQ(recorded.size() % kTsPacketSize, 0u);
        const Packets packets = PacketsOf(recorded, [](std::uint16_t) { return true; });
        const std::string source = ReadAll(broadcast_ + L"\\" + std::to_wstring(c.Frequence) + L".ts");
        EXPECT_TRUE(IsLoopedRun(packets, PacketsOf(source, kept))) << "the service's packets, as broadcast";
    }
}

TEST_F(TimerRunner, ATimerWhoseWindowPassedWhileClosedIsMarkedMissedAtStart)
{
    const Chaine* tele = Service(0x0101);
    ASSERT_NE(tele, nullptr);
    const std::int64_t now = std::time(nullptr);
    Write({MakeTimer(*tele, "Journal", now - 600, now - 300)});

    HWND window = StartProgram();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return AllStoredIn(TimerState::Missed); }, 20000));
    const std::vector<Timer> timers = Stored();
    ASSERT_EQ(timers.size(), 1u);
    EXPECT_EQ(StateText(timers[0]), "Manqu\u00e9 : programme ferm\u00e9");
    Close(window);
    EXPECT_TRUE(FilesIn(folder_).empty());
}

TEST_F(TimerRunner, TooLittleRoomIsToldAndARecordingTimerRemovedFromTheListStopsAndKeepsItsFile)
{
    const Chaine* tele = Service(0x0101);
    ASSERT_NE(tele, nullptr);
    // Eight megabits a second for a year fill more than any test machine holds.
    const std::int64_t start = std::time(nullptr) + 10;
    Write({MakeTimer(*tele, "Marathon", start, start + 365LL * 86400)});

    HWND window = StartProgram();
    ASSERT_NE(window, nullptr);
    {
        MessageBoxWatcher boxes(program_->Id());
        ASSERT_TRUE(boxes.WaitFor(1, 30000)) << "no notice";
        EXPECT_NE(boxes.Texts()[0].find(L"Espace insuffisant"), std::wstring::npos) << Utf8(boxes.Texts()[0]);
    }
    std::vector<Timer> timers;
    ASSERT_TRUE(WaitUntil([&] { return (timers = Stored()).size() == 1 && timers[0].state == TimerState::Recording; },
                          10000));
    EXPECT_EQ(StateText(timers[0]), "En cours : Espace insuffisant");
    ASSERT_TRUE(WaitUntil([&] { return FilesIn(folder_).size() == 1; }, 10000)) << "recording all the same";

    // "Supprimer" by the Delete key on the first row, confirmed.
    PostMessageW(window, WM_COMMAND, IDM_TIMERS, 0);
    HWND list = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (list = FindDialog(program_->Id(), L"Enregistrements programm\u00e9s")) != nullptr; }, 10000));
    HWND rows = GetDlgItem(list, IDC_TIMER_LIST);
    PostMessageW(rows, WM_KEYDOWN, VK_HOME, 1);
    PostMessageW(rows, WM_KEYDOWN, VK_DELETE, 1);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            question = nullptr;
            for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w && !question; w = GetWindow(w, GW_HWNDNEXT)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == program_->Id() && w != list && GetDlgItem(w, IDYES) && IsWindowVisible(w))
                    question = w;
            }
            return question != nullptr;
        },
        10000))
        << "no confirmation asked for a recording timer";
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return Stored().empty(); }, 10000)) << "the timer stays";
    PostMessageW(list, WM_COMMAND, IDCANCEL, 0);

    // The file is closed (it no longer grows) and kept, in whole packets.
    const std::wstring prefix = ShownName(*tele) + L" - Marathon ";
    std::uint64_t size = SizeOf(folder_, prefix);
    ULONGLONG changed = GetTickCount64();
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (const std::uint64_t now = SizeOf(folder_, prefix); now != size) {
                size = now;
                changed = GetTickCount64();
            }
            return GetTickCount64() - changed >= 1500;
        },
        10000))
        << "still written to";
    EXPECT_GT(size, 0u);
    EXPECT_EQ(size % kTsPacketSize, 0u);
    Close(window);
    EXPECT_EQ(FilesIn(folder_).size(), 1u);
}

}  // namespace
