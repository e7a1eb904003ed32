#pragma once
// The file of a timed recording: "<Chaîne> - <Titre> JJ-MM-AAAA HH-MM", made safe
// as a file name by the recorder's rules, with the programme's local start. A
// recording that began after the programme says so in its name, so that nobody
// takes it for the whole programme.
#include <string>

#include "record/timers/time_zone.h"
#include "record/timers/timer.h"

// The name without folder or extension; `late` adds " (commencé en retard)".
std::wstring TimerFileStem(const Timer& timer, const LocalDateTime& localStart, bool late);

// UTF-8 text as UTF-16 (malformed bytes become U+FFFD).
std::wstring WideFromUtf8(const std::string& text);
// Wide text of the platform (UTF-16 units on Windows) as UTF-8; an unpaired
// surrogate becomes U+FFFD.
std::string Utf8FromWide(const std::wstring& text);
