#include "app/program_timers.h"

namespace {

TimerBook book;

}  // namespace

TimerBook& ProgramTimers() { return book; }

std::string OpenProgramTimers(const std::filesystem::path& folder) { return book.Open(folder / "guide.db"); }

void CloseProgramTimers() { book.Close(); }
