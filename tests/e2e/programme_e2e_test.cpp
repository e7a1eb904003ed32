// The "Programme" and "Aide" commands as a user meets them: the About box, the
// now-playing notice to the messaging client, and the window kept in front.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/now_playing_text.h"
#include "demo_guide.h"
#include "installation.h"
#include "program_driver.h"

namespace {

constexpr wchar_t kAnnounceKey[] = L"Envoie programme regard\u00e9 \u00e0 MSN";
constexpr wchar_t kOnTopKey[] = L"Fen\u00eatre toujours devant";

std::wstring ReadKey(const ScratchDir& dir, const wchar_t* key)
{
    wchar_t value[256] = L"";
    GetPrivateProfileStringW(L"Config", key, L"<missing>", value, 256, dir.File(L"config.ini").c_str());
    return value;
}

// The main window once start-up has played the first channel: commands sent
// earlier could be answered while start-up still runs.
HWND WaitUntilPlaying(Program& program)
{
    HWND window = program.WaitForMainWindow();
    if (window && !WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 30000))
        return nullptr;
    return window;
}

bool IsChecked(HWND window, const ScratchDir& dir, unsigned id)
{
    for (const MenuEntry& e : ReadMenuBar(window, dir.Path()))
        if (e.id == id)
            return (e.state & MFS_CHECKED) != 0;
    ADD_FAILURE() << "no menu item " << id;
    return false;
}

// One WM_COPYDATA as the messaging client receives it.
struct Notice {
    HWND sender;
    ULONG_PTR tag;
    DWORD bytes;
    std::wstring text;
};

// A stand-in for the messaging client: a window of its class on a thread of its
// own, which answers every message it is sent and keeps the notices.
class MessagingClient {
public:
    MessagingClient() : thread_([this] { Run(); })
    {
        EXPECT_TRUE(WaitUntil([this] { return window_ != nullptr; }, 5000));
    }
    ~MessagingClient()
    {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    std::vector<Notice> Notices()
    {
        std::lock_guard lock(mutex_);
        return notices_;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<MessagingClient*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COPYDATA && self) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            const auto* text = static_cast<const wchar_t*>(data->lpData);
            std::lock_guard lock(self->mutex_);
            self->notices_.push_back({reinterpret_cast<HWND>(wParam), data->dwData, data->cbData,
                                      std::wstring(text, data->cbData / 2 - 1)});
            return TRUE;
        }
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void Run()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MsnMsgrUIManager";
        RegisterClassW(&wc);
        HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
    }

    std::mutex mutex_;
    std::vector<Notice> notices_;
    std::atomic<HWND> window_ = nullptr;
    std::thread thread_;
};

// The pixels of the link colour (red 0, green 0, blue 192) over the link, in the
// dialog as the program draws it.
int LinkBluePixels(HWND dialog, HWND link, const ScratchDir& dir)
{
    RECT r{};
    GetWindowRect(link, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const WindowPicture picture = ReadWindowPicture(dialog, dir.Path());
    int count = 0;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, picture.height); ++y)
        for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, picture.width); ++x)
            count += picture.At(x, y) == 0x0000C0;
    return count;
}

const std::wstring kEmptying = L"\\0Music\\00\\0\\0\\0\\0\\0\\0";

TEST(Programme, AProposShowsTheProductAndItsLinkAndClosesOnEnter)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    Program program = installation.Start();
    HWND window = WaitUntilPlaying(program);
    ASSERT_NE(window, nullptr);

    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40002, 0), 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (about = FindDialog(program.Id(), L"A propos")) != nullptr; }, 10000));

    // The product line is one of the dialog's texts; the link shows the address.
    bool productShown = false;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[64] = L"";
        GetWindowTextW(child, text, 64);
        productShown |= std::wstring(text) == L"Brisome TV 0.2a";
    }
    EXPECT_TRUE(productShown);
    HWND link = GetDlgItem(about, 1008);
    wchar_t address[128] = L"";
    GetWindowTextW(link, address, 128);
    EXPECT_STREQ(address, L"https://brisome.example/");
    EXPECT_EQ(GetPropW(link, L"_Hyperlink_From_Static_"), reinterpret_cast<HANDLE>(1));

    // Blue at all times; the mouse over it adds the underline, more blue.
    const int plain = LinkBluePixels(about, link, dir);
    EXPECT_GT(plain, 0);
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(WaitUntil([&] { return LinkBluePixels(about, link, dir) > plain; }, 3000));
    SendMessageW(link, WM_MOUSEMOVE, 0, MAKELPARAM(-20, 2));  // off it, to the left
    EXPECT_TRUE(WaitUntil([&] { return LinkBluePixels(about, link, dir) == plain; }, 3000));

    // Enter is the default "OK": the box closes and the program goes on; the
    // dialog and its link take their link properties with them.
    {
        DestroyWatch watch(about, dir.Path());
        PostMessageW(about, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
        int dialogs = 0;
        int statics = 0;
        for (const DestroyWatch::Destroyed& w : watch.Windows()) {
            dialogs += w.className == L"#32770";
            statics += _wcsicmp(w.className.c_str(), L"Static") == 0;
            EXPECT_EQ(w.linkProperties, 0) << "left on a window of class " << std::string(w.className.begin(), w.className.end());
        }
        EXPECT_EQ(dialogs, 1);
        EXPECT_EQ(statics, 2);
    }
    EXPECT_TRUE(IsWindowVisible(window));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Programme, NowPlayingAnnouncesTheProgrammeOnceTheGuideHasItAndEmptiesWhenSwitchedOffAndOnQuitting)
{
    MessagingClient client;
    Installation installation;
    ScratchDir& dir = installation.Dir();
    installation.SetSetting(kAnnounceKey, L"Vrai");
    const Chaine first = installation.Channels().front();
    const std::wstring shownName = ShownName(first);
    const std::u16string name(shownName.begin(), shownName.end());
    const std::wstring title = DemoGuide(first).present->title;
    const std::u16string announced = NowPlayingText(name, std::u16string(title.begin(), title.end()));
    const std::wstring announcement(announced.begin(), announced.end());

    Program program = installation.Start();
    HWND window = WaitUntilPlaying(program);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsChecked(window, dir, 40045));

    // The channel plays before the guide knows its programme: the announcement
    // comes with the guide's notice, once the status bar shows both events.
    const std::vector<std::wstring> status = DemoStatusTexts(first);
    ASSERT_TRUE(WaitUntil([&] { return ReadControlTexts(window, dir.Path()).statusParts == status; }, 15000));
    std::vector<Notice> notices = client.Notices();
    ASSERT_GE(notices.size(), 1u);
    for (const Notice& n : notices) {
        EXPECT_EQ(n.sender, window);
        EXPECT_EQ(n.tag, 1351u);
        EXPECT_EQ(n.text, announcement);
    }
    const size_t announcements = notices.size();

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(40045, 0), 0);
    EXPECT_FALSE(IsChecked(window, dir, 40045));
    notices = client.Notices();
    ASSERT_EQ(notices.size(), announcements + 1);
    EXPECT_EQ(notices.back().bytes, 46u);
    EXPECT_EQ(notices.back().text, kEmptying);

    // On again: the programme is known, so it is announced at once.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(40045, 0), 0);
    notices = client.Notices();
    ASSERT_EQ(notices.size(), announcements + 2);
    EXPECT_EQ(notices.back().text, announcement);

    // "Quitter": the client is emptied once more after the window is gone.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
    ASSERT_TRUE(program.WaitForExit());
    notices = client.Notices();
    ASSERT_EQ(notices.size(), announcements + 3);
    EXPECT_EQ(notices.back().text, kEmptying);
    EXPECT_EQ(ReadKey(dir, kAnnounceKey), L"Vrai");
}

TEST(Programme, AlwaysOnTopIsAppliedAtStartToggledAndSaved)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    installation.SetSetting(kOnTopKey, L"Vrai");
    Program program = installation.Start();
    HWND window = WaitUntilPlaying(program);
    ASSERT_NE(window, nullptr);
    auto topmost = [&] { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_TRUE(topmost());
    EXPECT_TRUE(IsChecked(window, dir, 40029));

    SendMessageW(window, WM_COMMAND, MAKEWPARAM(40029, 0), 0);
    EXPECT_FALSE(topmost());
    EXPECT_FALSE(IsChecked(window, dir, 40029));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(ReadKey(dir, kOnTopKey), L"Faux");
}

}  // namespace
