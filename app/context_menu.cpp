#include "app/context_menu.h"

#include "app/channel_menu.h"
#include "app/shell_state.h"
#include "resources/resource_ids.h"

namespace {

// "Fichier", "Filtres", "Commandes", then "Programme" in the menu resource.
constexpr int kProgrammePosition = 3;

// Where the menu opens: the message's screen position, or the top-left of the
// picture when the keyboard asked (the position is then -1, -1).
POINT MenuPosition(LPARAM position)
{
    POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (at.x == -1 && at.y == -1) {
        at = {0, 0};
        ClientToScreen(mainWindow, &at);
    }
    return at;
}

}  // namespace

void ShowContextMenu(LPARAM position)
{
    // A fresh copy of the resource: its items carry the resource's states.
    HMENU copy = LoadMenuW(instanceHandle, MAKEINTRESOURCEW(IDR_MAINMENU));
    HMENU channels = CreateChannelPopup();
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(GetSubMenu(copy, kProgrammePosition)),
                L"Programme");
    AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(channels), L"Cha\u00eenes");

    const POINT at = MenuPosition(position);
    // In full screen the cursor is hidden; the menu needs it.
    ShowCursor(TRUE);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, mainWindow, nullptr);
    // The click that closed the menu must not count as a click on the picture.
    lastActivationTick = GetTickCount();
    ShowCursor(FALSE);

    // Destroying a menu destroys its pop-ups: take them out first, so that each
    // is destroyed once, by its owner.
    RemoveMenu(menu, 1, MF_BYPOSITION);
    RemoveMenu(menu, 0, MF_BYPOSITION);
    DestroyMenu(channels);
    DestroyMenu(menu);
    DestroyMenu(copy);
}
