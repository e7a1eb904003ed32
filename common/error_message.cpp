#include "common/error_message.h"

void ShowError(HWND owner, const wchar_t* text)
{
    MessageBoxW(owner, text, nullptr, MB_OK | MB_ICONERROR);
}
