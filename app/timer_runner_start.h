#pragma once
// Starting one timer's recording: the tuner on its multiplex (the picture
// follows), room checked on the video folder's drive, and a service recording
// into "<Chaîne> - <Titre> JJ-MM-AAAA HH-MM.mpg". Main window's thread only.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "record/timers/time_zone.h"
#include "record/timers/timer.h"

// Starts the recording of `timer`, which the scheduler has just put
// "En cours". Returns its recording's identifier; 0 when it could not start,
// the timer's state then saying why. `notices` receives what the user is to be
// told (French).
LPARAM StartTimerRecording(HWND window, Timer& timer, bool late, std::int64_t now, const TimeZoneRule& zone,
                           std::vector<std::wstring>& notices);

// The channel list's position of `service`; -1 when a scan removed it.
std::int32_t ChannelOfService(const ServiceKey& service);
