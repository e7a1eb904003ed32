#include "app/now_playing.h"

#include <windows.h>

#include <string>

#include "app/menu_bar.h"
#include "app/now_playing_text.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/text/dvb_text.h"
#include "config/settings.h"
#include "guide/guide_slots.h"
#include "resources/resource_ids.h"

namespace {

// A client that does not answer within this time is skipped, so it cannot
// freeze the window.
constexpr UINT kClientTimeoutMs = 500;

void SendToClient(const std::u16string& text)
{
    HWND client = FindWindowW(L"MsnMsgrUIManager", nullptr);
    if (!client)
        return;
    COPYDATASTRUCT data{};
    data.dwData = kNowPlayingTag;
    data.cbData = NowPlayingByteCount(text);
    data.lpData = const_cast<char16_t*>(text.c_str());
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(client, WM_COPYDATA, reinterpret_cast<WPARAM>(mainWindow), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, kClientTimeoutMs, &answer);
}

}  // namespace

void SendNowPlaying()
{
    if (!announceNowPlaying || !IsValidChannelIndex(Chaines, currentChannel))
        return;
    const Chaine& channel = Chaines[static_cast<std::size_t>(currentChannel)];
    const GuideSlots slots = ReadGuideSlots(channel);
    if (slots.present.startTime == 0)
        return;
    SendToClient(NowPlayingText(DecodeDvbText(channel.Nom),
                                DecodeDvbText(slots.present.title, slots.present.titleTable)));
}

void ClearNowPlaying()
{
    SendToClient(NowPlayingClearText());
}

void UpdateNowPlayingMenu()
{
    if (HMENU menu = MenuBar())
        CheckMenuItem(menu, IDM_NOW_PLAYING, MF_BYCOMMAND | (announceNowPlaying ? MF_CHECKED : MF_UNCHECKED));
}

bool ToggleNowPlaying()
{
    announceNowPlaying = !announceNowPlaying;
    if (!announceNowPlaying)
        ClearNowPlaying();
    UpdateNowPlayingMenu();
    return announceNowPlaying;
}
