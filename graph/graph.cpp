#include "graph/graph.h"

#include <windows.h>

#include "app/shell_state.h"
#include "config/settings.h"

void ShowError(const wchar_t* text)
{
    // No caption of our own: the platform's default one.
    MessageBoxW(mainWindow, text, nullptr, MB_OK | MB_ICONERROR);
}

void DestroyGraph()
{
    SaveSettings();
    // The graph itself is not built yet: nothing else to release.
}
