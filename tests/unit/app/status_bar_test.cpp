// The status bar's texts for the current channel: its name, then the start and
// title of the present and the following programme as the guide slots hold them.
#include "app/status_bar.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/shell_state.h"
#include "channels/chaine.h"

namespace {

std::wstring PartText(int part)
{
    wchar_t text[300] = L"";
    const LRESULT length = SendMessageW(statusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
    SendMessageW(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return std::wstring(text, LOWORD(length));
}

template <std::size_t N>
void Put(char (&field)[N], const char* text)
{
    std::strncpy(field, text, N - 1);
}

GuideEvent Event(const char* start, const char* title)
{
    GuideEvent event{};
    event.startTime = 1;
    Put(event.startText, start);
    Put(event.title, title);
    // ISO 8859-9: 0xE9 is the e with an acute accent.
    event.titleTable = DvbTextTable::Iso8859_9;
    return event;
}

TEST(StatusBar, ShowsTheNameAndBothProgrammesOrEmptyPartsWithoutGuide)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    mainWindow = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 800, 650, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(mainWindow, nullptr);

    Chaine guided = MakeEmptyChaine();
    Put(guided.Nom, "Canal Test");
    guided.presentEvent = Event("20:30:00", "Le Journal de la R\xE9gion");
    guided.followingEvent = Event("21:05:00", "Film : L'\xC9t\xE9 de Port-Clos");
    Chaine unguided = MakeEmptyChaine();
    Put(unguided.Nom, "Radio Test");
    Chaines = {guided, unguided};

    currentChannel = 0;
    CreateStatusBar();
    ASSERT_NE(statusBar, nullptr);
    EXPECT_EQ(PartText(0), L"Canal Test");
    EXPECT_EQ(PartText(1), L"20:30:00");
    EXPECT_EQ(PartText(2), L"Le Journal de la R\u00e9gion");
    EXPECT_EQ(PartText(3), L"21:05:00");
    EXPECT_EQ(PartText(4), L"Film : L'\u00c9t\u00e9 de Port-Clos");

    currentChannel = 1;
    ShowChannelInfo();
    EXPECT_EQ(PartText(0), L"Radio Test");
    for (int part = 1; part < 5; ++part)
        EXPECT_EQ(PartText(part), L"") << "part " << part;

    DestroyWindow(mainWindow);
    mainWindow = nullptr;
    statusBar = nullptr;
    Chaines.clear();
    currentChannel = -1;
}

}  // namespace
