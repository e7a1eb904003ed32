#pragma once
// Channel changes from the keyboard and the wheel.
#include <windows.h>

// Up and down arrows step through the shown channels, F through the favourites,
// digits type a channel number.
void OnChannelKey(WPARAM virtualKey);
// The typed number is complete: selects its channel and starts afresh.
void OnTypedNumberTimer();
// One wheel message: a notch or more steps one channel.
void OnChannelWheel(WPARAM wParam);
