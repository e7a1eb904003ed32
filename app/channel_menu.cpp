#include "app/channel_menu.h"

#include <string>

#include "app/channel_names.h"
#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/channel_choices.h"

namespace {

// "Fichier", "Filtres", "Commandes", "Programme", then the channels, then "Aide".
constexpr UINT kChannelMenuPosition = 4;

// The pop-up in the menu bar now, to find it again when it is made anew.
HMENU channelPopup = nullptr;

// The choices of channel i, when the list of choices is in step with the channels.
const ChannelChoice* ChoiceOf(std::size_t i)
{
    return i < ChannelChoices.size() && ChannelChoices[i].key == KeyOf(Chaines[i]) ? &ChannelChoices[i] : nullptr;
}

// The bar the pop-up lives in: the window's, or the one a window mode holds.
HMENU MenuBar()
{
    if (HMENU bar = GetMenu(mainWindow))
        return bar;
    return heldCompactMenu ? heldCompactMenu : heldFullScreenMenu;
}

}  // namespace

HMENU CreateChannelPopup()
{
    HMENU channels = CreatePopupMenu();
    HMENU favourites = CreatePopupMenu();
    bool anyFavourite = false;
    for (std::size_t i = 0; i < Chaines.size(); ++i) {
        const ChannelChoice* choice = ChoiceOf(i);
        if (choice && choice->hidden)
            continue;
        const std::wstring text = ShownChannelName(i);
        AppendMenuW(channels, MF_STRING, i, text.c_str());
        if (choice && choice->favourite) {
            AppendMenuW(favourites, MF_STRING, i, text.c_str());
            anyFavourite = true;
        }
    }
    if (anyFavourite) {
        InsertMenuW(channels, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        InsertMenuW(channels, 0, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(favourites),
                    L"Favoris");
    } else {
        DestroyMenu(favourites);
    }
    return channels;
}

void BuildChannelMenu()
{
    channelPopup = CreateChannelPopup();
    InsertMenuW(MenuBar(), kChannelMenuPosition, MF_BYPOSITION | MF_POPUP | MF_STRING,
                reinterpret_cast<UINT_PTR>(channelPopup), L"Cha\u00eenes");
}

void RebuildChannelMenu()
{
    HMENU bar = MenuBar();
    const int count = GetMenuItemCount(bar);
    for (int position = 0; position < count; ++position) {
        if (GetSubMenu(bar, position) != channelPopup)
            continue;
        // Deleting a pop-up's item destroys the pop-up with it.
        DeleteMenu(bar, static_cast<UINT>(position), MF_BYPOSITION);
        channelPopup = CreateChannelPopup();
        InsertMenuW(bar, static_cast<UINT>(position), MF_BYPOSITION | MF_POPUP | MF_STRING,
                    reinterpret_cast<UINT_PTR>(channelPopup), L"Cha\u00eenes");
        if (GetMenu(mainWindow) == bar)
            DrawMenuBar(mainWindow);
        return;
    }
    BuildChannelMenu();
}
