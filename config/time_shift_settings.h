#pragma once
// The time-shift buffer's settings, kept in config.ini with the others: its
// folder ("Dossier tampon", empty for the system's temporary folder) and its
// length ("Duree tampon", minutes, 60 by default). Each is written only once it
// holds something other than its default.
#include "config/settings.h"

constexpr int kDefaultTimeShiftMinutes = 60;
extern wchar_t timeShiftFolder[kFolderCapacity];
extern int timeShiftMinutes;
