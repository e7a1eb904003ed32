// A timed recording from the first key to the file: R in "Guide complet" on a
// programme that starts a few seconds ahead records it, from its start to its
// end by the broadcast's clock (margins of 0), the service's packets exactly as
// broadcast. The broadcast's clock sits a day behind the PC's, as a looped demo
// or a PC set wrong would have it: the grid and the timers go by the broadcast.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "channels/psi/ts_packet.h"
#include "installation.h"
#include "program_driver.h"
#include "record/timers/timer_store.h"
#include "recorded_packets.h"
#include "resources/resource_ids.h"
#include "sqlite3.h"
#include "timer_broadcast.h"

namespace {

// The programme to record starts this long after the stream's start, when
// the program has tuned in, and lasts this long.
constexpr int kLead = 20;
constexpr int kLength = 5;

// The demo's first multiplex with its schedule and clock, placed by tsgen a day
// behind the PC's clock, "Le Flash" kLead seconds into the stream.
const TimerBroadcastOptions kBroadcast{45,
                                       {"event start=2026-03-14T18:00 duration=01:30:20 title=\"Le Journal\"",
                                        "event duration=00:00:05 title=\"Le Flash\"",
                                        "event duration=02:00 title=\"Le Film du soir\"",
                                        "event duration=01:00 title=\"Le Magazine\""}};

constexpr wchar_t kGrid[] = L"Guide complet";

bool DetailsHold(HWND grid, const wchar_t* text)
{
    wchar_t details[512] = L"";
    GetDlgItemTextW(grid, IDC_GRID_DETAILS, details, 512);
    return std::wstring(details).find(text) != std::wstring::npos;
}

// Whether the program has stored the broadcast's clock and the programme to
// record, read without writing anything to the file.
bool GuideHeard(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    bool heard = false;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT (SELECT count(*) FROM clock) > 0 AND "
                               "(SELECT count(*) FROM events WHERE title = 'Le Flash') > 0",
                               -1, &query, nullptr) == SQLITE_OK &&
            sqlite3_step(query) == SQLITE_ROW)
            heard = sqlite3_column_int(query, 0) != 0;
        sqlite3_finalize(query);
    }
    sqlite3_close(db);
    return heard;
}

std::vector<Timer> StoredTimers(const std::filesystem::path& file)
{
    TimerStore store;
    if (store.Open(file) != StoreOpenStatus::Opened)
        return {};
    return store.Load();
}

TEST(TimerFromGrid, RecordsTheProgrammeStartingSoonFromItsStartToItsEnd)
{
    const std::wstring broadcast = GenerateBroadcast(TimerBroadcast(kBroadcast), L"--at-now -86400");
    ASSERT_FALSE(broadcast.empty()) << "tsgen could not make the broadcast";
    Installation installation;
    const ChannelList channels = installation.Channels();
    std::size_t at = 0;
    while (at < channels.size() && channels[at].SID != 0x0101)
        ++at;
    ASSERT_LT(at, channels.size());
    const Chaine& tele = channels[at];
    // Played at start-up: the grid opens on its row.
    installation.SetSetting(L"Index chaine courante", std::to_wstring(at).c_str());
    const std::wstring folder = installation.Dir().File(L"videos");
    CreateDirectoryW(folder.c_str(), nullptr);
    installation.SetSetting(L"R\u00e9pertoire vid\u00e9o", folder.c_str());
    installation.SetSetting(L"Marge avant", L"0");
    installation.SetSetting(L"Marge apres", L"0");
    const std::filesystem::path db = std::filesystem::path(installation.Path()) / L"guide.db";

    Program program = installation.Start(broadcast);
    HWND window = program.WaitForMainWindow(30000);
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(WaitUntil([&] { return GuideHeard(db); }, 15000)) << "no schedule or clock stored";
    PostMessageW(window, WM_COMMAND, IDM_GUIDE_GRID, 0);
    HWND grid = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (grid = FindDialog(program.Id(), kGrid)) != nullptr; }, 15000));
    ASSERT_TRUE(WaitUntil([&] { return DetailsHold(grid, L"Le Journal"); }, 5000))
        << "the grid is not on the programme on the air by the broadcast's clock";
    HWND view = GetDlgItem(grid, IDC_GRID_VIEW);
    PostMessageW(view, WM_KEYDOWN, VK_RIGHT, 1);
    ASSERT_TRUE(WaitUntil([&] { return DetailsHold(grid, L"Le Flash"); }, 5000));
    PostMessageW(view, WM_KEYDOWN, 'R', 1);
    std::vector<Timer> timers;
    ASSERT_TRUE(WaitUntil([&] { return (timers = StoredTimers(db)).size() == 1; }, 5000)) << "no timer set";
    EXPECT_EQ(timers[0].title, "Le Flash");
    ASSERT_EQ(timers[0].state, TimerState::Planned) << "set too late for this test: " << StateText(timers[0]);
    PostMessageW(grid, WM_COMMAND, IDCANCEL, 0);

    // The timer goes by the broadcast's clock: on a loaded machine the stand-in
    // tuner, and that clock with it, can run at half speed.
    ASSERT_TRUE(WaitUntil([&] { return !FilesIn(folder, L"*.mpg").empty(); }, (2 * kLead + 5) * 1000))
        << "the recording did not start";
    ASSERT_TRUE(WaitUntil(
        [&] {
            timers = StoredTimers(db);
            return timers.size() == 1 && timers[0].state != TimerState::Recording &&
                   timers[0].state != TimerState::Planned;
        },
        (kLength + 15) * 1000))
        << "the recording did not end: " << (timers.empty() ? std::string("none") : StateText(timers[0])) << " "
        << (timers.empty() ? 0 : timers[0].start) << "-" << (timers.empty() ? 0 : timers[0].end) << " pc-1d "
        << std::time(nullptr) - 86400;
    EXPECT_EQ(StateText(timers[0]), "Termin\u00e9");
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(30000));

    const std::vector<std::wstring> files = FilesIn(folder, L"*.mpg");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].rfind(ShownName(tele) + L" - Le Flash ", 0), 0u) << "named after the channel and the title";
    EXPECT_EQ(files[0].find(L"retard"), std::wstring::npos) << "started on time";
    const std::set<std::uint16_t> pids = {0, static_cast<std::uint16_t>(tele.PMT), static_cast<std::uint16_t>(tele.Video),
                                          static_cast<std::uint16_t>(tele.Son1), static_cast<std::uint16_t>(tele.PCR)};
    const Packets recorded = PacketsOf(ReadRecordedFile(folder + L"\\" + files[0]), [](std::uint16_t) { return true; });
    const Packets source = PacketsOf(ReadRecordedFile(broadcast + L"\\" + std::to_wstring(tele.Frequence) + L".ts"),
                                     [&](std::uint16_t pid) { return pids.count(pid) != 0; });
    EXPECT_TRUE(IsLoopedRun(recorded, source)) << "the service's packets, as broadcast";
    // The stream's clock starts at 0: the programme is on the air from kLead
    // to kLead + kLength seconds of it.
    const std::vector<double> pcrs = PcrSeconds(recorded, static_cast<std::uint16_t>(tele.PCR));
    ASSERT_GE(pcrs.size(), 2u);
    EXPECT_NEAR(pcrs.front(), kLead, 1.0) << "first clock reference";
    EXPECT_NEAR(pcrs.back(), kLead + kLength, 1.0) << "last clock reference";
    EXPECT_NEAR(pcrs.back() - pcrs.front(), kLength, 1.0) << "span";
}

}  // namespace
