// Timed recordings as a user sets them: Ctrl+R opens "Enregistrements
// programmés"; "Nouveau..." makes a timer by hand, which shows as "Prévu"; a
// second one at the same time on another multiplex is refused with the warning
// that names the first, and the dialog stays open for a correction; R on a
// programme of the "Guide complet" grid sets its timer; all are there again
// after the program is started anew.
#include <windows.h>
#include <commctrl.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channels/channel_choices.h"
#include "guide/schedule/guide_store.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "resources/resource_ids.h"

namespace {

constexpr wchar_t kList[] = L"Enregistrements programm\u00e9s";
constexpr wchar_t kNew[] = L"Nouvel enregistrement programm\u00e9";
constexpr wchar_t kGrid[] = L"Guide complet";

// Tonight's film on the first channel, an event of the guide the grid shows.
void WriteGuide(const std::wstring& folder, const ServiceKey& first, std::int64_t now)
{
    GuideStore store;
    ASSERT_NE(store.Open(std::filesystem::path(folder) / "guide.db"), StoreOpenStatus::Unavailable)
        << store.message();
    GuideBatch batch;
    batch.services = {{first, "Premi\xC3\xA8re"}};
    GuideEntry journal;
    journal.service = first;
    journal.eventId = 0x0701;
    journal.start = now - 600;
    journal.stop = now + 1200;
    journal.title = "Le Journal";
    GuideEntry film = journal;
    film.eventId = 0x0702;
    film.start = now + 1200;
    film.stop = now + 1200 + 100 * 60;
    film.title = "Le Film du soir";
    batch.events = {journal, film};
    ASSERT_TRUE(store.Write(batch)) << store.message();
    store.Close();
}

// A shortcut with Ctrl as the keyboard gives it (see the guide window's test):
// held until the window it opens shows.
HWND PressCtrl(HWND window, DWORD processId, WPARAM key, const wchar_t* caption)
{
    const DWORD theirs = GetWindowThreadProcessId(window, nullptr);
    const DWORD ours = GetCurrentThreadId();
    AttachThreadInput(ours, theirs, TRUE);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(window, WM_KEYDOWN, key, 1);
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(processId, caption)) != nullptr; }, 15000);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    AttachThreadInput(ours, theirs, FALSE);
    return dialog;
}

void Click(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The date and time pickers take their time through a pointer: it is written
// into the program's memory first.
void SetPicker(HANDLE process, HWND picker, const SYSTEMTIME& time)
{
    void* remote = VirtualAllocEx(process, nullptr, sizeof time, MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(remote, nullptr);
    ASSERT_TRUE(WriteProcessMemory(process, remote, &time, sizeof time, nullptr));
    EXPECT_NE(SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote)), 0);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
}

SYSTEMTIME LocalTomorrowAt(int hour, int minute)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    today.wHour = static_cast<WORD>(hour);
    today.wMinute = static_cast<WORD>(minute);
    today.wSecond = today.wMilliseconds = 0;
    FILETIME ft;
    SystemTimeToFileTime(&today, &ft);
    ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
    t.QuadPart += 86400ULL * 10000000ULL;
    ft = {t.LowPart, t.HighPart};
    SYSTEMTIME tomorrow;
    FileTimeToSystemTime(&ft, &tomorrow);
    return tomorrow;
}

// Fills the open "Nouveau..." dialog: a channel of the list, tomorrow from
// 20:00 to 21:00, a title; then OK.
void FillNewTimer(const Program& program, HWND dialog, int channel, const wchar_t* title)
{
    SendDlgItemMessageW(dialog, IDC_TIMER_CHANNEL, CB_SETCURSEL, static_cast<WPARAM>(channel), 0);
    SetPicker(program.Process(), GetDlgItem(dialog, IDC_TIMER_DAY), LocalTomorrowAt(0, 0));
    SetPicker(program.Process(), GetDlgItem(dialog, IDC_TIMER_START), LocalTomorrowAt(20, 0));
    SetPicker(program.Process(), GetDlgItem(dialog, IDC_TIMER_END), LocalTomorrowAt(21, 0));
    SetDlgItemTextW(dialog, IDC_TIMER_TITLE, title);
    Click(dialog, IDOK);
}

std::vector<std::vector<std::wstring>> Rows(HWND list, const std::wstring& workDir)
{
    return ReadControlTexts(list, workDir).rows;
}

// The row of the timer titled `title` ("" when there is none).
std::vector<std::wstring> RowTitled(const std::vector<std::vector<std::wstring>>& rows, const wchar_t* title)
{
    for (const auto& row : rows)
        if (row.size() == 6 && row[4] == title)
            return row;
    return {};
}

TEST(Timers, ByHandConflictFromTheGridAndAfterARestart)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    ASSERT_GE(channels.size(), 2u);
    // A channel of another multiplex than the first one's.
    int other = -1;
    for (size_t i = 1; i < channels.size() && other < 0; ++i)
        if (KeyOf(channels[i]).tsid != KeyOf(channels[0]).tsid)
            other = static_cast<int>(i);
    ASSERT_GE(other, 0);
    WriteGuide(installation.Path(), KeyOf(channels[0]), static_cast<std::int64_t>(std::time(nullptr)));
    // No broadcast, hence no broadcast clock: the grid and the timers go by the
    // PC's, as the stored guide was written (the demo's clock is months away).
    ScratchDir silence;

    {
        Program program = installation.Start(silence.Path());
        HWND window = program.WaitForMainWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));
        MessageBoxWatcher boxes(program.Id());

        HWND list = PressCtrl(window, program.Id(), 'R', kList);
        ASSERT_NE(list, nullptr) << "Ctrl+R opened no timer list";
        const ControlTexts empty = ReadControlTexts(list, installation.Path());
        ASSERT_EQ(empty.columns.size(), 6u);
        EXPECT_EQ(empty.columns[5].header, L"\u00c9tat");
        EXPECT_TRUE(empty.rows.empty());

        // By hand, on the first channel.
        Click(list, IDC_TIMER_NEW);
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialog(program.Id(), kNew)) != nullptr; }, 10000));
        FillNewTimer(program, dialog, 0, L"Mon \u00e9mission");
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000)) << "the timer was not taken";
        std::vector<std::wstring> row;
        ASSERT_TRUE(WaitUntil(
            [&] { return !(row = RowTitled(Rows(list, installation.Path()), L"Mon \u00e9mission")).empty(); }, 5000));
        EXPECT_EQ(row[0], ShownName(channels[0]));
        EXPECT_EQ(row[2], L"20:00");
        EXPECT_EQ(row[3], L"21:00");
        EXPECT_EQ(row[5], L"Pr\u00e9vu");

        // The same hour on another multiplex: refused, the first one named.
        Click(list, IDC_TIMER_NEW);
        ASSERT_TRUE(WaitUntil([&] { return (dialog = FindDialog(program.Id(), kNew)) != nullptr; }, 10000));
        FillNewTimer(program, dialog, other, L"Autre chose");
        ASSERT_TRUE(boxes.WaitFor(1, 10000)) << "no warning";
        const std::wstring warning = boxes.Texts()[0];
        EXPECT_NE(warning.find(L"\u00ab Mon \u00e9mission \u00bb"), std::wstring::npos) << warning;
        EXPECT_NE(warning.find(L"multiplexe"), std::wstring::npos) << warning;
        EXPECT_TRUE(IsWindow(dialog)) << "the dialog closed on a refusal";
        Click(dialog, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
        EXPECT_EQ(Rows(list, installation.Path()).size(), 1u);
        Click(list, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(list); }, 5000));

        // R on the film to come in the grid, opened on the programme on the air.
        HWND grid = PressCtrl(window, program.Id(), 'G', kGrid);
        ASSERT_NE(grid, nullptr);
        HWND view = GetDlgItem(grid, IDC_GRID_VIEW);
        PostMessageW(view, WM_KEYDOWN, VK_RIGHT, 1);
        wchar_t details[512] = L"";
        ASSERT_TRUE(WaitUntil(
            [&] {
                GetDlgItemTextW(grid, IDC_GRID_DETAILS, details, 512);
                return std::wstring(details).find(L"Le Film du soir") != std::wstring::npos;
            },
            5000));
        PostMessageW(view, WM_KEYDOWN, 'R', 1);
        Click(grid, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(grid); }, 5000));

        list = PressCtrl(window, program.Id(), 'R', kList);
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(WaitUntil(
            [&] { return !(row = RowTitled(Rows(list, installation.Path()), L"Le Film du soir")).empty(); }, 5000));
        EXPECT_EQ(row[5], L"Pr\u00e9vu");
        EXPECT_EQ(Rows(list, installation.Path()).size(), 2u);
        EXPECT_EQ(boxes.Texts().size(), 1u);
        Click(list, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(list); }, 5000));
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_EQ(program.ExitCode(), 0u);
    }

    // Started anew: both timers are there, the film first.
    Program program = installation.Start(silence.Path());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    HWND list = PressCtrl(window, program.Id(), 'R', kList);
    ASSERT_NE(list, nullptr);
    const auto rows = Rows(list, installation.Path());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][4], L"Le Film du soir");
    EXPECT_EQ(rows[1][4], L"Mon \u00e9mission");
    Click(list, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(list); }, 5000));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
}

}  // namespace
