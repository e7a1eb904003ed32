#pragma once
// One timed recording typed by hand (dialog 125): channel, day, start, end,
// title and repetition. OK hands it to the program's timers; a refusal (a
// wrong day or time, a conflict with another multiplex) is told and the dialog
// stays open for the correction.
#include <windows.h>

#include <cstdint>

// `id` 0 makes a new timer, else changes that one. True when the book took it.
bool EditTimer(HWND owner, std::int64_t id);
