// "Guide complet" as a user meets it: a guide.db left by an earlier run is
// there at start-up; Ctrl+G opens the grid on the channel watched, the arrows
// walk through the schedule and the details pane shows a long description
// whole; a search typed without accents finds an accented title; the export
// writes an XMLTV file that the xmltv tools accept; Enter on a programme on the
// air watches its channel. On the demo broadcast, whose clock is months from the
// PC's, the grid opened before the schedule came fills by itself and shows what
// is on the air by the broadcast's clock.
#include <windows.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channels/channel_choices.h"
#include "common/text_convert.h"
#include "guide/schedule/event_texts.h"
#include "guide/schedule/guide_store.h"
#include "installation.h"
#include "program_driver.h"
#include "resources/resource_ids.h"
#include "tools/tsgen/description_parser.h"

namespace {

constexpr wchar_t kCaption[] = L"Guide complet";
constexpr wchar_t kExportCaption[] = L"Exporter le guide (XMLTV)";

// Some 6,000 characters over sixty lines: far more than the pane shows at once.
std::string LongDescription()
{
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "Paragraphe " + std::to_string(i) + " : l'\xC3\xA9quipe du journal revient sur les faits du jour, "
                "avec reportages et invit\xC3\xA9s.\n";
    return text + "Fin du r\xC3\xA9sum\xC3\xA9.";
}

GuideEntry Event(const ServiceKey& key, std::int64_t start, std::int64_t minutes, const char* title)
{
    GuideEntry e;
    e.service = key;
    e.start = start;
    e.stop = start + minutes * 60;
    e.title = title;
    e.content = 0x20;
    return e;
}

// What the earlier run left: a schedule for the first two channels.
void WriteGuide(const std::wstring& folder, const ChannelList& channels, std::int64_t now)
{
    GuideStore store;
    ASSERT_NE(store.Open(std::filesystem::path(folder) / "guide.db"), StoreOpenStatus::Unavailable)
        << store.message();
    const ServiceKey first = KeyOf(channels[0]), second = KeyOf(channels[1]);
    GuideBatch batch;
    batch.services = {{first, "Premi\xC3\xA8re"}, {second, "Seconde"}};
    GuideEntry journal = Event(first, now - 600, 30, "Le Journal");
    journal.description = LongDescription();
    batch.events = {journal, Event(first, now + 1200, 100, "Le Film du soir"),
                    Event(second, now - 600, 60, "Magazine"),
                    Event(second, now + 86400, 110, "L'\xC3\x89t\xC3\xA9 meurtrier")};
    ASSERT_TRUE(store.Write(batch)) << store.message();
    store.Close();
}

std::wstring TextOf(HWND control)
{
    std::vector<wchar_t> text(static_cast<size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::wstring Crlf(const std::string& utf8)
{
    std::wstring out;
    for (wchar_t c : WidenText(utf8, CodePage::Utf8)) {
        if (c == L'\n')
            out += L'\r';
        out += c;
    }
    return out;
}

// Ctrl+G as the keyboard gives it: the accelerator reads the control key's state
// from the input state that the program's thread shares with ours once attached.
// The key is held until the window shows: a busy program may take the posted key
// late, and would then read a plain G.
HWND PressCtrlG(HWND window, DWORD processId)
{
    const DWORD theirs = GetWindowThreadProcessId(window, nullptr);
    const DWORD ours = GetCurrentThreadId();
    AttachThreadInput(ours, theirs, TRUE);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(window, WM_KEYDOWN, 'G', 1);
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(processId, kCaption)) != nullptr; }, 15000);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    AttachThreadInput(ours, theirs, FALSE);
    return dialog;
}

// Runs a command of the host's shell through Wine; returns what it printed, once
// it printed "FIN" (or after 30 s).
std::string HostShell(const std::string& script, const std::wstring& scratch)
{
    const std::wstring out = scratch + L"\\host-shell.txt";
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
    std::wstring line = L"/bin/sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"";
    const BOOL started =
        CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(output);
    if (!started)
        return "sh not started";
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::string said;
    const auto read = [&] {
        HANDLE f = CreateFileW(out.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               0, nullptr);
        std::string text;
        char buffer[4096];
        DWORD n = 0;
        while (f != INVALID_HANDLE_VALUE && ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0)
            text.append(buffer, n);
        if (f != INVALID_HANDLE_VALUE)
            CloseHandle(f);
        return text;
    };
    WaitUntil([&] { return (said = read()).find("FIN") != std::string::npos; }, 30000);
    return said;
}

std::string UnixName(const std::wstring& path)
{
    using Convert = char*(CDECL*)(const wchar_t*);
    auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = convert ? convert(path.c_str()) : nullptr;
    if (!name)
        return {};
    std::string out = name;
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

TEST(GuideWindow, GridDetailsSearchAndExportOfTheStoredGuide)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    ASSERT_GE(channels.size(), 2u);
    const std::wstring videos = installation.Path() + L"\\videos";
    CreateDirectoryW(videos.c_str(), nullptr);
    installation.SetSetting(L"R\u00e9pertoire vid\u00e9o", videos.c_str());
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    WriteGuide(installation.Path(), channels, now);

    // No broadcast, hence no broadcast clock: the grid goes by the PC's, as the
    // stored guide was written.
    ScratchDir silence;
    Program program = installation.Start(silence.Path());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000));

    HWND dialog = PressCtrlG(window, program.Id());
    ASSERT_NE(dialog, nullptr) << "Ctrl+G opened no \"Guide complet\" window";
    HWND grid = GetDlgItem(dialog, IDC_GRID_VIEW);
    HWND details = GetDlgItem(dialog, IDC_GRID_DETAILS);
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(details, nullptr);

    // Opened on the channel watched, its programme on the air selected, its
    // description shown to the last character.
    const std::wstring opened = TextOf(details);
    EXPECT_NE(opened.find(L"Le Journal"), std::wstring::npos) << opened.substr(0, 200);
    EXPECT_NE(opened.find(Crlf(LongDescription())), std::wstring::npos) << "the description is cut";

    struct Step {
        WPARAM key;
        const wchar_t* title;
    } steps[] = {
        {VK_RIGHT, L"Le Film du soir"},
        {VK_DOWN, L"Magazine"},    // on the air when the film starts
        {VK_UP, L"Le Journal"},    // on the air when the magazine shows from
        {VK_RIGHT, L"Le Film du soir"},
        {VK_HOME, L"Le Journal"},  // back to now
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.title);
        PostMessageW(grid, WM_KEYDOWN, s.key, 1);
        std::wstring shown;
        EXPECT_TRUE(WaitUntil([&] { return (shown = TextOf(details)).find(s.title) != std::wstring::npos; }, 5000))
            << shown.substr(0, 200);
    }

    // Typed without its accents, lower case: the title is found and shown.
    SendMessageW(GetDlgItem(dialog, IDC_GRID_SEARCH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ete meurtrier"));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_GRID_SEARCH_GO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_GRID_SEARCH_GO)));
    std::wstring found;
    EXPECT_TRUE(WaitUntil(
        [&] { return (found = TextOf(details)).find(L"L'\u00c9t\u00e9 meurtrier") != std::wstring::npos; }, 5000))
        << found.substr(0, 200);
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_GRID_RESULTS), LB_GETCOUNT, 0, 0), 1);

    // The export: the save dialog opens on guide.xml in the video folder.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_GRID_EXPORT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_GRID_EXPORT)));
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (save = FindDialog(program.Id(), kExportCaption)) != nullptr; }, 10000));
    PostMessageW(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const std::wstring exported = videos + L"\\guide.xml";
    ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesW(exported.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
    ASSERT_TRUE(WaitUntil([&] { return FindDialog(program.Id(), kExportCaption) == nullptr; }, 5000));
    const std::string unixPath = UnixName(exported);
    ASSERT_FALSE(unixPath.empty());
    const std::string verdict = HostShell("XMLTV_SUPPLEMENT=/usr/share/xmltv tv_validate_file '" + unixPath +
                                              "' && echo VALIDE; echo FIN",
                                          installation.Path());
    EXPECT_NE(verdict.find("VALIDE"), std::string::npos) << verdict;

    // Back to now on the second channel's row, where the search led: Enter on
    // the programme on the air watches that channel.
    ASSERT_TRUE(IsWindow(dialog));
    PostMessageW(grid, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(details).find(L"Magazine") != std::wstring::npos; }, 5000));
    PostMessageW(grid, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return StatusBarChannelName(window) == ShownName(channels[1]); }, 10000));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

// The title of the demo's programme on the air on `service` by its broadcast clock.
std::string DemoOnTheAir(const ServiceKey& service)
{
    std::ifstream file(std::filesystem::path(WindowsPathOf(BRISOME_SOURCE_DIR "/demo/broadcast.txt")), std::ios::binary);
    const tsgen::Description demo = tsgen::ParseDescription(std::string((std::istreambuf_iterator<char>(file)), {}));
    for (const auto& mux : demo.multiplexes)
        for (const auto& s : mux.services)
            if (ServiceKey{mux.onid, mux.tsid, s.sid} == service)
                for (const auto& e : s.events)
                    if (e.start <= demo.clock && demo.clock < e.start + e.duration)
                        return DvbTextToUtf8(e.title);
    return {};
}

TEST(GuideWindow, OpenedBeforeTheScheduleItFillsByItselfAtTheBroadcastNow)
{
    Installation installation;
    const ChannelList channels = installation.Channels();
    ASSERT_FALSE(channels.empty());
    const std::string onAir = DemoOnTheAir(KeyOf(channels[0]));
    ASSERT_FALSE(onAir.empty());

    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    // At once, with no guide.db yet: the grid opens empty or nearly.
    HWND dialog = PressCtrlG(window, program.Id());
    ASSERT_NE(dialog, nullptr) << "Ctrl+G opened no \"Guide complet\" window";
    HWND details = GetDlgItem(dialog, IDC_GRID_DETAILS);
    std::wstring shown;
    EXPECT_TRUE(WaitUntil(
        [&] { return (shown = TextOf(details)).find(WidenText(onAir, CodePage::Utf8)) != std::wstring::npos; }, 30000))
        << onAir << " not shown: " << NarrowText(shown.substr(0, 200), CodePage::Utf8);
    // The PC's clock is months away from the broadcast's: the line says so.
    std::wstring notice;
    EXPECT_TRUE(WaitUntil(
        [&] { return (notice = TextOf(GetDlgItem(dialog, IDC_GRID_CLOCK))).find(L"horloge") != std::wstring::npos; },
        5000));

    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
