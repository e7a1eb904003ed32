#pragma once
// The program's one book of timers, in guide.db beside config.ini: opened at
// start-up after the guide, closed when the program ends, used on the window's
// thread only.
#include <filesystem>
#include <string>

#include "record/timers/timer_book.h"

TimerBook& ProgramTimers();

// Returns the French notice to give (the timers stay in memory only, or the
// file was set aside); empty when all went well.
std::string OpenProgramTimers(const std::filesystem::path& folder);
void CloseProgramTimers();
