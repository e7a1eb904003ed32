#include "app/shell_state.h"

HWND mainWindow;
HINSTANCE instanceHandle;
HWND statusBar;

std::int32_t currentChannel = -1;
bool recording;
bool secondAudioActive;
bool ac3Active;
std::int32_t typedNumber;
bool fullScreen;
bool decorationsShown = true;
HMENU heldCompactMenu;
HMENU heldFullScreenMenu;
DWORD lastActivationTick;
