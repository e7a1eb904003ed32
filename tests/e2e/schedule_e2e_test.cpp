// The whole schedule as the program keeps it: started on the demo broadcast it
// writes the demo's eight-day tables into guide.db beside config.ini; started
// again with the tuner's broadcast gone, the schedule is still there; and a
// guide.db that another process keeps locked costs one notice, never the
// picture.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/text_convert.h"
#include "guide/schedule/event_texts.h"
#include "guide/schedule/guide_store.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "tools/tsgen/description_parser.h"

namespace {

std::string ToUtf8(const std::wstring& text) { return NarrowText(text, CodePage::Utf8); }

struct Expected {
    std::string title;
    std::string description;  // the long text, whole
    std::uint8_t content = 0;
    std::uint8_t minimumAge = 0;
    std::int64_t stop = 0;
};

tsgen::Description Demo()
{
    std::ifstream file(std::filesystem::path(WindowsPathOf(BRISOME_SOURCE_DIR "/demo/broadcast.txt")), std::ios::binary);
    return tsgen::ParseDescription(std::string((std::istreambuf_iterator<char>(file)), {}));
}

// Every event of the demo, by service and start, as the store should hold it.
std::map<std::pair<ServiceKey, std::int64_t>, Expected> DemoSchedule(const tsgen::Description& demo)
{
    std::map<std::pair<ServiceKey, std::int64_t>, Expected> events;
    for (const auto& mux : demo.multiplexes)
        for (const auto& service : mux.services)
            for (const auto& e : service.events)
                events[{ServiceKey{mux.onid, mux.tsid, service.sid}, e.start}] = {
                    DvbTextToUtf8(e.title), DvbTextToUtf8(e.longText), e.genre, e.minimumAge, e.start + e.duration};
    return events;
}

// What guide.db holds, by the same key; empty when it cannot be read now.
std::map<std::pair<ServiceKey, std::int64_t>, Expected> Stored(const std::wstring& dir)
{
    std::map<std::pair<ServiceKey, std::int64_t>, Expected> events;
    GuideStore store;
    if (store.Open(std::filesystem::path(dir) / L"guide.db") == StoreOpenStatus::Unavailable)
        return events;
    for (const GuideEntry& e : store.Events())
        events[{e.service, e.start}] = {e.title, e.description, e.content, e.minimumAge, e.stop};
    return events;
}

std::string FirstDifference(const std::map<std::pair<ServiceKey, std::int64_t>, Expected>& stored,
                            const std::map<std::pair<ServiceKey, std::int64_t>, Expected>& expected);

bool Same(const Expected& a, const Expected& b)
{
    return a.title == b.title && a.description == b.description && a.content == b.content &&
           a.minimumAge == b.minimumAge && a.stop == b.stop;
}

// Every expected event is stored as expected.
bool Holds(const std::map<std::pair<ServiceKey, std::int64_t>, Expected>& stored,
           const std::map<std::pair<ServiceKey, std::int64_t>, Expected>& expected)
{
    for (const auto& [key, e] : expected) {
        auto found = stored.find(key);
        if (found == stored.end() || !Same(found->second, e))
            return false;
    }
    return true;
}

std::string FirstDifference(const std::map<std::pair<ServiceKey, std::int64_t>, Expected>& stored,
                            const std::map<std::pair<ServiceKey, std::int64_t>, Expected>& expected)
{
    for (const auto& [key, e] : expected) {
        auto found = stored.find(key);
        if (found == stored.end())
            return "missing: " + e.title;
        const Expected& s = found->second;
        if (!Same(s, e))
            return "stored: " + s.title + " | " + s.description + " | " + std::to_string(s.content) + " " +
                   std::to_string(s.minimumAge) + " " + std::to_string(s.stop) + "\nexpected: " + e.title + " | " +
                   e.description + " | " + std::to_string(e.content) + " " + std::to_string(e.minimumAge) + " " +
                   std::to_string(e.stop);
    }
    return {};
}

void Close(Program& program, HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(30000));
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Schedule, TheDemoScheduleIsStoredAndThereAtTheNextStartWithoutBroadcast)
{
    const tsgen::Description demo = Demo();
    const auto expected = DemoSchedule(demo);
    ASSERT_GT(expected.size(), 50u);
    Installation installation;
    {
        Program program = installation.Start();
        MessageBoxWatcher boxes(program.Id());
        HWND window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        std::map<std::pair<ServiceKey, std::int64_t>, Expected> stored;
        EXPECT_TRUE(WaitUntil([&] { return Holds(stored = Stored(installation.Path()), expected); }, 60000))
            << stored.size() << " events stored of " << expected.size() << "\n" << FirstDifference(stored, expected);
        Close(program, window);
        EXPECT_TRUE(boxes.Texts().empty());
    }

    // The tuner finds nothing now. What had not ended an hour before the
    // broadcast's clock is still there (the start-up purge goes by that clock,
    // not by the PC's, which is months away from the demo's).
    std::map<std::pair<ServiceKey, std::int64_t>, Expected> current;
    for (const auto& [key, e] : expected)
        if (e.stop >= demo.clock + static_cast<std::int64_t>(demo.seconds) - 3600)
            current.emplace(key, e);
    ASSERT_GT(current.size(), 20u);
    ScratchDir silence;
    Program program = installation.Start(silence.Path());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    Sleep(2000);
    EXPECT_TRUE(Holds(Stored(installation.Path()), current));
    Close(program, window);
}

TEST(Schedule, AGuideDbLockedByAnotherProcessCostsOneNoticeAndTheProgramPlays)
{
    Installation installation;
    installation.Dir().Write(L"guide.db", "");
    // As a backup or indexing tool may: the file open with no sharing at all.
    HANDLE lock = CreateFileW(installation.Dir().File(L"guide.db").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Program program = installation.Start();
    MessageBoxWatcher boxes(program.Id());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return installation.Trace().find("Run") != std::string::npos; }, 10000));
    ASSERT_TRUE(boxes.WaitFor(1, 20000));
    Sleep(3000);  // schedule sections keep arriving: still one notice
    const auto texts = boxes.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(L"guide.db"), std::wstring::npos) << ToUtf8(texts[0]);
    EXPECT_NE(texts[0].find(L"m\u00e9moire"), std::wstring::npos) << ToUtf8(texts[0]);
    Close(program, window);
    CloseHandle(lock);
    EXPECT_FALSE(installation.Dir().Exists(L"guide.db.illisible"));
}

}  // namespace
