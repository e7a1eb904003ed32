#include "app/menu_bar.h"

#include "app/shell_state.h"

HMENU MenuBar()
{
    if (!mainWindow)
        return nullptr;
    if (HMENU attached = GetMenu(mainWindow))
        return attached;
    // Compact mode detaches it first; full screen holds it only when entered from normal mode.
    return heldCompactMenu ? heldCompactMenu : heldFullScreenMenu;
}
