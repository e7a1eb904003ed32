// Managing the channels on the demo broadcast after its first multiplex moved from
// UHF 21 to UHF 27: the user renames, hides, marks and moves channels in
// "Organiser les chaînes", scans again from the menu, and keeps every choice on
// the new list; the arrows pass over the hidden channel, its number still
// reaches it, F steps through the favourites. A close request during the new
// scan leaves the list and the file as they were.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channels/channel_file_win.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "resources/resource_ids.h"
#include "screen_capture.h"

namespace {

constexpr std::int32_t kUhf27KHz = 522166;

// The demo broadcast with its first multiplex on UHF 27 (a channel of the demo's
// plan that carried nothing) instead of UHF 21.
std::wstring MovedBroadcast()
{
    std::string description;
    if (FILE* file = _wfopen(WindowsPathOf(BRISOME_SOURCE_DIR "/demo/broadcast.txt").c_str(), L"rb")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;)
            description.append(buffer, n);
        fclose(file);
    }
    const size_t mux = description.find("mux uhf=21 ");
    if (mux == std::string::npos)
        return {};
    description.replace(mux, 11, "mux uhf=27 ");
    return GenerateBroadcast(description);
}

// Sends and waits: the dialog's own order of events, as a user's clicks give it.
void Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 5000, &result), 0);
}

class OrganiseDialog {
public:
    explicit OrganiseDialog(HWND dialog) : dialog_(dialog) {}
    void Select(int row)
    {
        HWND list = GetDlgItem(dialog_, IDC_ORGANISE_LIST);
        Send(list, LB_SETCURSEL, static_cast<WPARAM>(row));
        Send(dialog_, WM_COMMAND, MAKEWPARAM(IDC_ORGANISE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    void Click(int control) { Send(dialog_, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), 0); }
    void Rename(const std::wstring& name)
    {
        SetDlgItemTextW(dialog_, IDC_ORGANISE_NAME, name.c_str());
        Click(IDC_ORGANISE_RENAME);
    }
    std::wstring Notice() const
    {
        wchar_t text[512] = L"";
        GetDlgItemTextW(dialog_, IDC_ORGANISE_NOTICE, text, 512);
        return text;
    }

private:
    HWND dialog_;
};

struct Loaded {
    ChannelList list;
    std::vector<ChannelChoice> choices;
};

Loaded LoadFile(const Installation& installation)
{
    Loaded loaded;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LoadChannelFile(loaded.list, loaded.choices, installation.Path() + L"\\chaines.xml");
    CoUninitialize();
    return loaded;
}

// The "Chaînes" pop-up: its items' texts, and those of its "Favoris" pop-up.
struct ChannelMenu {
    std::vector<std::wstring> items;
    std::vector<std::wstring> favourites;
};

ChannelMenu ReadChannelMenu(HWND window, const std::wstring& workDir)
{
    ChannelMenu menu;
    bool inChannels = false;
    bool inFavourites = false;
    for (const MenuEntry& entry : ReadMenuBar(window, workDir)) {
        if (entry.depth == 0)
            inChannels = entry.text == L"Cha\u00eenes";
        if (entry.depth <= 1)
            inFavourites = inChannels && entry.kind == "popup" && entry.text == L"Favoris";
        if (inChannels && entry.kind == "item")
            (entry.depth == 2 && inFavourites ? menu.favourites : menu.items).push_back(entry.text);
    }
    return menu;
}

TEST(Channels, ChoicesMadeInTheDialogSurviveANewScanAndSteerTheKeys)
{
    Installation installation;
    const ChannelList before = installation.Channels();
    // By number: Océane TV (1, UHF 24), Télé Démo (2, UHF 21), Jeunesse Trois (4),
    // Canal Étoile (5, UHF 21), Savoirs & Découvertes (6), ..., the four HD last.
    ASSERT_GE(before.size(), 6u);
    ASSERT_EQ(before[1].Numero, 2);
    ASSERT_EQ(before[2].Numero, 4);
    const std::wstring moved = MovedBroadcast();
    ASSERT_FALSE(moved.empty()) << "tsgen failed";

    Program program = installation.Start(moved);
    MessageBoxWatcher boxes(program.Id());
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    auto shows = [&](const std::wstring& name, DWORD timeoutMs = 5000) {
        return WaitUntil([&] { return StatusBarChannelName(window) == name; }, timeoutMs);
    };
    ASSERT_TRUE(shows(ShownName(before[0]), 20000));

    // Rename Télé Démo (a name too long first), mark it and Savoirs as favourites,
    // hide Jeunesse Trois, move the last channel up one place.
    PostMessageW(window, WM_COMMAND, IDM_ORGANISE, 0);
    HWND found = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (found = FindDialog(program.Id(), L"Organiser les cha\u00eenes")) != nullptr; },
                          10000));
    OrganiseDialog dialog(found);
    dialog.Select(1);
    dialog.Rename(std::wstring(1000, L'x'));
    EXPECT_NE(dialog.Notice().find(L"raccourci"), std::wstring::npos);
    dialog.Rename(L"Ma T\u00e9l\u00e9");
    EXPECT_EQ(dialog.Notice(), L"");
    dialog.Click(IDC_ORGANISE_FAVOURITE);
    dialog.Select(2);
    dialog.Click(IDC_ORGANISE_HIDDEN);
    dialog.Select(4);
    dialog.Click(IDC_ORGANISE_FAVOURITE);
    const int last = static_cast<int>(before.size()) - 1;
    dialog.Select(last);
    dialog.Click(IDC_ORGANISE_UP);
    SaveScreenshot(ReadWindowPicture(found, installation.Path()), L"organise-channels.bmp");
    dialog.Click(IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(found); }, 5000));

    // Saved at once, and the menu follows.
    const std::string organisedFile = installation.Dir().Read(L"chaines.xml");
    EXPECT_NE(organisedFile.find("<Cache>1</Cache>"), std::string::npos);
    const ChannelMenu menu = ReadChannelMenu(window, installation.Path());
    EXPECT_EQ(menu.favourites, (std::vector<std::wstring>{L"Ma T\u00e9l\u00e9", ShownName(before[4])}));
    EXPECT_EQ(menu.items.size(), before.size() - 1);
    for (const std::wstring& item : menu.items)
        EXPECT_NE(item, ShownName(before[2])) << "a hidden channel is in the menu";

    // A new scan from the menu finds Télé Démo and Canal Étoile on UHF 27.
    PostMessageW(window, WM_COMMAND, IDM_RESCAN, 0);
    HWND scan = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (scan = FindDialog(program.Id(), L"Scan des fr\u00e9quences en cours")) != nullptr; },
                          10000));
    EXPECT_NE(GetDlgItem(scan, IDCANCEL), nullptr) << "no Annuler button";
    // The summary comes in a message box once the new list is in place.
    const std::wstring summary = L"Aucune cha\u00eene nouvelle ni disparue.";
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<std::wstring> texts = boxes.Texts();
            return std::find(texts.begin(), texts.end(), summary) != texts.end();
        },
        180000));

    EXPECT_EQ(installation.Dir().Read(L"chaines.xml.bak"), organisedFile);
    const Loaded after = LoadFile(installation);
    ASSERT_EQ(after.list.size(), before.size());
    ASSERT_EQ(after.choices.size(), before.size());
    EXPECT_EQ(after.list[1].Frequence, kUhf27KHz);
    EXPECT_EQ(after.choices[1].userName, "\x15Ma T\xC3\xA9l\xC3\xA9");
    EXPECT_TRUE(after.choices[1].favourite);
    EXPECT_TRUE(after.choices[2].hidden);
    EXPECT_TRUE(after.choices[4].favourite);
    EXPECT_EQ(after.list[last - 1].SID, before[last].SID) << "the user's order is lost";
    EXPECT_EQ(after.list[last].SID, before[last - 1].SID);

    // The arrows pass over Jeunesse Trois; its number still selects it; F steps
    // through the favourites and wraps.
    ASSERT_TRUE(shows(ShownName(before[0]), 10000));
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
    ASSERT_TRUE(shows(L"Ma T\u00e9l\u00e9"));
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
    ASSERT_TRUE(shows(ShownName(before[3])));
    PostMessageW(window, WM_KEYDOWN, 'F', 1);
    ASSERT_TRUE(shows(ShownName(before[4])));
    PostMessageW(window, WM_KEYDOWN, 'F', 1);
    ASSERT_TRUE(shows(L"Ma T\u00e9l\u00e9"));
    PostMessageW(window, WM_KEYDOWN, '4', 1);
    ASSERT_TRUE(shows(ShownName(before[2])));
    PostMessageW(window, WM_KEYDOWN, VK_UP, 1);
    ASSERT_TRUE(shows(L"Ma T\u00e9l\u00e9"));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Channels, ClosingDuringANewScanLeavesTheListAndTheFileAsTheyWere)
{
    Installation installation;
    const std::string file = installation.Dir().Read(L"chaines.xml");
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 20000));

    PostMessageW(window, WM_COMMAND, IDM_RESCAN, 0);
    HWND scan = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (scan = FindDialog(program.Id(), L"Scan des fr\u00e9quences en cours")) != nullptr; },
                          10000));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(30000));
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(installation.Dir().Read(L"chaines.xml"), file);
    EXPECT_FALSE(installation.Dir().Exists(L"chaines.xml.bak"));
}

}  // namespace
