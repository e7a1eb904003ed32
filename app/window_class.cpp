#include "app/window_class.h"

#include "app/shell_state.h"

bool RegisterWindowClassOnce(const wchar_t* name, WNDPROC procedure, HCURSOR cursor, HBRUSH background)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instanceHandle, name, &wc))
        return true;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instanceHandle;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}
