#include "app/status_bar.h"

#include <windows.h>
#include <commctrl.h>

#include "app/channel_names.h"
#include "app/now_playing.h"
#include "app/shell_state.h"
#include "app/status_layout.h"
#include "channels/chaine.h"
#include "channels/text/dvb_text.h"
#include "common/wide_text.h"
#include "guide/guide_slots.h"

void CreateStatusBar()
{
    statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_STATUSBAR)),
                                instanceHandle, nullptr);
    LayoutStatusBar();
    if (IsValidChannelIndex(Chaines, currentChannel))
        ShowChannelInfo();
}

void LayoutStatusBar()
{
    if (!statusBar)
        return;
    RECT r{};
    GetClientRect(statusBar, &r);
    auto edges = StatusBarRightEdges(r.right - r.left);
    SendMessageW(statusBar, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges.data()));
}

void ShowChannelInfo()
{
    if (statusBar) {
        const Chaine& channel = Chaines[static_cast<std::size_t>(currentChannel)];
        const GuideSlots slots = ReadGuideSlots(channel);
        // Names and titles are broadcast text; the start times are our own ASCII.
        const std::wstring texts[kStatusParts] = {
            ShownChannelName(static_cast<std::size_t>(currentChannel)),
            WidenAscii(slots.present.startText),
            ToWide(DecodeDvbText(slots.present.title, slots.present.titleTable)),
            WidenAscii(slots.following.startText),
            ToWide(DecodeDvbText(slots.following.title, slots.following.titleTable)),
        };
        for (int part = 0; part < kStatusParts; ++part)
            SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(part),
                         reinterpret_cast<LPARAM>(texts[part].c_str()));
    }
    SendNowPlaying();
}
