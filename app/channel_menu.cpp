#include "app/channel_menu.h"

#include <windows.h>

#include "app/shell_state.h"
#include "channels/chaine.h"
#include "channels/text/dvb_text.h"
#include "common/wide_text.h"

namespace {

// "Fichier", "Filtres", "Commandes", "Programme", then the channels, then "Aide".
constexpr UINT kChannelMenuPosition = 4;

}  // namespace

HMENU CreateChannelPopup()
{
    HMENU channels = CreatePopupMenu();
    for (std::size_t i = 0; i < Chaines.size(); ++i)
        AppendMenuW(channels, MF_STRING, i, ToWide(DecodeDvbText(Chaines[i].Nom)).c_str());
    return channels;
}

void BuildChannelMenu()
{
    HMENU channels = CreateChannelPopup();
    InsertMenuW(GetMenu(mainWindow), kChannelMenuPosition, MF_BYPOSITION | MF_POPUP | MF_STRING,
                reinterpret_cast<UINT_PTR>(channels), L"Cha\u00eenes");
}
