#include "app/shell_state.h"

HWND mainWindow;
HINSTANCE instanceHandle;
HWND statusBar;

bool recording;
bool secondAudioActive;
bool ac3Active;
bool fullScreen;
bool decorationsShown = true;
bool muted;
std::int32_t typedNumber;
DWORD lastActivationTick;
POINT clickPoint;
bool scanPending;
