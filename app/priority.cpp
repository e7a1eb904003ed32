#include "app/priority.h"

#include <windows.h>

#include <initializer_list>

#include "app/menu_bar.h"
#include "resources/resource_ids.h"

namespace {

DWORD PriorityClassFor(int command)
{
    switch (command) {
    case IDM_PRIORITY_HIGH: return HIGH_PRIORITY_CLASS;
    case IDM_PRIORITY_NORMAL: return NORMAL_PRIORITY_CLASS;
    case IDM_PRIORITY_BELOW: return BELOW_NORMAL_PRIORITY_CLASS;
    default: return ABOVE_NORMAL_PRIORITY_CLASS;
    }
}

}  // namespace

void SetPriority(int command)
{
    SetPriorityClass(GetCurrentProcess(), PriorityClassFor(command));

    HMENU menu = MenuBar();
    if (!menu)
        return;
    for (int item : {IDM_PRIORITY_BELOW, IDM_PRIORITY_NORMAL, IDM_PRIORITY_ABOVE, IDM_PRIORITY_HIGH})
        CheckMenuItem(menu, static_cast<UINT>(item),
                      MF_BYCOMMAND | (item == command ? MF_CHECKED : MF_UNCHECKED));
}
