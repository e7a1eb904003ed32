// The application shell as a user sees it: one copy only, the main window, its
// French menu bar, and the settings file written on every way out.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "installation.h"
#include "message_box_watcher.h"
#include "common/text_convert.h"
#include "program_driver.h"

namespace {

struct Item {
    const wchar_t* text;  // nullptr for a separator
    UINT id;              // 0 for a separator or a pop-up
    const std::vector<Item>* popup = nullptr;  // a pop-up's items
};

const std::vector<Item> kPriorityItems = {{L"Haute", 40033},
                                          {L"Sup\u00e9rieure \u00e0 la normale", 40039},
                                          {L"Normale", 40034},
                                          {L"Inf\u00e9rieure \u00e0 la normale", 40040}};
// The tracks of the first channel, Oc\u00e9ane TV: one French track, no subtitles.
const std::vector<Item> kAudioItems = {{L"Fran\u00e7ais", 40060}};
const std::vector<Item> kSubtitleItems = {{L"Aucun", 40068}};

struct Popup {
    const wchar_t* title;
    std::vector<Item> items;
};

const std::vector<Popup>& ExpectedMenuBar()
{
    static const std::vector<Popup> bar = {
        {L"Fichier", {{L"Configuration", 40003}, {L"Rechercher les cha\u00eenes...", 40049},
                      {L"Organiser les cha\u00eenes", 40050}, {nullptr, 0},
                      {L"Lire un enregistrement...\tCtrl+O", 40054}, {nullptr, 0}, {L"R\u00e9pertoire vid\u00e9o", 40025},
                      {L"R\u00e9pertoire screenshots", 40026}, {nullptr, 0}, {L"Quitter", 40001}}},
        {L"Filtres", {{L"Vid\u00e9o", 40004}, {L"Audio", 40005}, {L"Ac3", 40009}, {nullptr, 0}, {L"VMR", 40006},
                      {L"DSound", 40007}, {L"DSoundAc3", 40010}, {nullptr, 0}, {L"Demux", 40008}}},
        {L"Commandes", {{L"Enregistrer la chaine\tCtrl+Espace", 40011}, {L"Enregistrer le multiplex\tCtrl+M", 40012},
                        {L"Stopper l'enregistrement\tCtrl+Entr\u00e9e", 40017}, {nullptr, 0},
                        {L"Capture d'\u00e9cran\tCtrl+X", 40014}, {nullptr, 0},
                        {L"Premi\u00e8re piste audio\tCtrl+1", 40018}, {L"Seconde piste audio\tCtrl+2", 40013},
                        {L"Piste AC3\tCtrl+3", 40016}, {L"Audio", 0, &kAudioItems},
                        {L"Sous-titres", 0, &kSubtitleItems}, {nullptr, 0}, {L"Touche Mute\tM", 40020}}},
        {L"Programme", {{L"Rester toujours devant\tAlt+T", 40029}, {L"Plein \u00e9cran\tEspace", 40015},
                        {L"Changer la priorit\u00e9", 0, &kPriorityItems}, {nullptr, 0}, {L"Guide des programmes\tG", 40043},
                        {L"Guide complet\tCtrl+G", 40048},
                        {L"Enregistrements programm\u00e9s\tCtrl+R", 40051},
                        {L"Affiche le nom de l'\u00e9mission sous MSN", 40045}, {nullptr, 0},
                        {L"Qualit\u00e9 du signal", 40047}}},
        {L"Aide", {{L"A propos", 40002}}},
    };
    return bar;
}

const wchar_t* const kKeysInOrder[] = {
    L"Tuner TNT", L"R\u00e9cepteur TNT", L"Filtre vid\u00e9o", L"Filtre audio", L"Filtre AC3", L"Ville",
    L"Recherche stricte", L"Index chaine courante", L"R\u00e9pertoire vid\u00e9o", L"R\u00e9pertoire screenshots",
    L"Priorit\u00e9", L"Envoie programme regard\u00e9 \u00e0 MSN", L"Fen\u00eatre toujours devant"};

std::wstring ReadKey(const ScratchDir& dir, const wchar_t* key)
{
    wchar_t value[1024] = L"";
    GetPrivateProfileStringW(L"Config", key, L"<missing>", value, 1024, dir.File(L"config.ini").c_str());
    return value;
}

// The key names of the file's lines, in file order, read with the platform's own
// code page (the private-profile service writes new files in it).
std::vector<std::wstring> KeysInFileOrder(const ScratchDir& dir)
{
    std::vector<std::wstring> keys;
    std::string bytes = dir.Read(L"config.ini");
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        size_t eq = line.find('=');
        if (eq != std::string::npos) {
            keys.push_back(WidenText(std::string_view(line).substr(0, eq), CodePage::System));
        }
        start = end + 1;
    }
    return keys;
}

// All thirteen keys; in their fixed order when the program created the file.
void ExpectSettingsWrittenOnExit(const ScratchDir& dir, const wchar_t* channelIndex = L"0", bool newFile = false)
{
    ASSERT_TRUE(dir.Exists(L"config.ini"));
    std::vector<std::wstring> expected(std::begin(kKeysInOrder), std::end(kKeysInOrder));
    std::vector<std::wstring> written = KeysInFileOrder(dir);
    if (!newFile) {
        std::sort(expected.begin(), expected.end());
        std::sort(written.begin(), written.end());
    }
    EXPECT_EQ(written, expected);
    EXPECT_EQ(ReadKey(dir, L"Index chaine courante"), channelIndex);
    EXPECT_EQ(ReadKey(dir, L"Recherche stricte"), L"1");
    EXPECT_EQ(ReadKey(dir, L"R\u00e9pertoire vid\u00e9o"), dir.Path());
    EXPECT_EQ(ReadKey(dir, L"Priorit\u00e9"), L"Sup\u00e9rieure");
    EXPECT_EQ(ReadKey(dir, L"Fen\u00eatre toujours devant"), L"Faux");
}

// Identifiers of the checked items among the four priorities.
std::vector<unsigned> CheckedPriorities(HWND window, const ScratchDir& dir)
{
    std::vector<unsigned> checked;
    for (const MenuEntry& e : ReadMenuBar(window, dir.Path()))
        if (e.id >= 40033 && e.id <= 40040 && (e.state & MFS_CHECKED))
            checked.push_back(e.id);
    return checked;
}

TEST(Shell, MainWindowHasItsClassTitleSizeAndFrenchMenu)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    wchar_t text[256];
    GetClassNameW(window, text, 256);
    EXPECT_STREQ(text, L"Tovard TV");
    GetWindowTextW(window, text, 256);
    EXPECT_STREQ(text, L"Brisome TV");
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 650);
    EXPECT_EQ(GetClassLongPtrW(window, GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);

    // The whole bar, depth first, as the program shows it; every item enabled,
    // and among the priorities only the default above-normal one checked.
    // The "Chaînes" pop-up comes before "Aide", one item per channel, by index.
    std::vector<MenuEntry> expected;
    for (const Popup& popup : ExpectedMenuBar()) {
        if (std::wstring(popup.title) == L"Aide") {
            expected.push_back({0, "popup", 0, 0, L"Cha\u00eenes"});
            const ChannelList channels = installation.Channels();
            EXPECT_FALSE(channels.empty());
            for (size_t i = 0; i < channels.size(); ++i)
                expected.push_back({1, "item", static_cast<unsigned>(i), 0, ShownName(channels[i])});
        }
        expected.push_back({0, "popup", 0, 0, popup.title});
        for (const Item& item : popup.items) {
            if (!item.text) {
                expected.push_back({1, "separator", 0, 0, L""});
            } else if (item.id) {
                expected.push_back({1, "item", item.id, 0, item.text});
            } else {
                expected.push_back({1, "popup", 0, 0, item.text});
                for (const Item& p : *item.popup)
                    expected.push_back({2, "item", p.id, p.id == 40039 ? MFS_CHECKED : 0u, p.text});
            }
        }
    }
    const std::vector<MenuEntry> shown = ReadMenuBar(window, dir.Path());
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        EXPECT_EQ(shown[i].depth, expected[i].depth);
        EXPECT_EQ(shown[i].kind, expected[i].kind);
        EXPECT_EQ(shown[i].text, expected[i].text);
        if (expected[i].kind == "item") {
            EXPECT_EQ(shown[i].id, expected[i].id);
            // The audio-track, subtitle and recording items follow the channel; the
            // rest are enabled and unchecked, but for the default priority's check mark.
            if ((expected[i].id < 40011 || expected[i].id > 40020) && (expected[i].id < 40060 || expected[i].id > 40077)) {
                EXPECT_EQ(shown[i].state, expected[i].state);
            }
        }
    }
    EXPECT_EQ(GetPriorityClass(program.Process()), static_cast<DWORD>(ABOVE_NORMAL_PRIORITY_CLASS));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    ExpectSettingsWrittenOnExit(dir);
}

TEST(Shell, QuitterWritesTheSettingsAndExitsWithZero)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_TRUE(WindowsOfClass(L"Tovard TV").empty());
    ExpectSettingsWrittenOnExit(dir);
}

TEST(Shell, ASecondCopyLeavesAtOnceWithoutAWindow)
{
    Installation installation;
    Program first = installation.Start();
    HWND window = first.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    Program second = installation.Start();
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(WindowsOfClass(L"Tovard TV").size(), 1u);

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitForExit());
}

TEST(Shell, SavedNormalPriorityIsAppliedCheckedAndWrittenBack)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    installation.SetSetting(L"Priorit\u00e9", L"Normale");
    installation.SetSetting(L"Recherche stricte", L"5");
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(GetPriorityClass(program.Process()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(CheckedPriorities(window, dir), std::vector<unsigned>{40034});

    // Choosing "Haute" applies it and saves at once, before any exit.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(40033, 0), 0);
    EXPECT_EQ(GetPriorityClass(program.Process()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    EXPECT_EQ(ReadKey(dir, L"Priorit\u00e9"), L"Haute");
    EXPECT_EQ(CheckedPriorities(window, dir), std::vector<unsigned>{40033});

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(40034, 0), 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(ReadKey(dir, L"Priorit\u00e9"), L"Normale");
    EXPECT_EQ(ReadKey(dir, L"Recherche stricte"), L"1");
}

TEST(Shell, ScreenSaverAndMonitorPowerOffAreRefused)
{
    Installation installation;
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    // Refused requests are answered 0 without default processing; the window stays.
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_MONITORPOWER | 0x3, 2), 0);
    EXPECT_TRUE(IsWindowVisible(window));
    // A system close goes to default processing, which closes the window.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Shell, WithoutSettingsAnnulerInTheConfigurationDialogEndsWithMinusOneAndWritesNothing)
{
    // No settings at all, so no tuner: start-up asks for one; the user declines.
    ScratchDir dir;
    Program program(dir.Path());
    MessageBoxWatcher boxes(program.Id());
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        dialog = FindWindowW(L"#32770", L"Configuration");
        return dialog != nullptr;
    }, 20000));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0xFFFFFFFFu);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_FALSE(dir.Exists(L"config.ini"));
}

}  // namespace
