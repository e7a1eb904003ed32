#pragma once
// What the timer windows share: the time they check timers against, texts
// between the book's UTF-8 and the controls' UTF-16, and a window's listening
// to the book (the book calls on the window's thread; the window is told by a
// posted message, so that it never redraws in the middle of a change).
#include <windows.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "app/program_timers.h"
#include "common/text_convert.h"
#include "guide/clock_difference.h"
#include "guide/guide_database.h"

// The clock the runner and the guide grid go by: the PC's corrected by the
// broadcast's, remembered from an earlier session until a TDT is heard.
inline std::int64_t TimersNow()
{
    return ProgramNow(static_cast<std::int64_t>(std::time(nullptr)), StoredClockDifference());
}

inline std::wstring TimerText(const std::string& utf8) { return WidenText(utf8, CodePage::Utf8); }
inline std::string TimerUtf8(const std::wstring& text) { return NarrowText(text, CodePage::Utf8); }

// Posts `message` to `window` after each change of the program's timers, for
// as long as it lives.
class TimerBookWatch {
public:
    TimerBookWatch(HWND window, UINT message)
        : token_(ProgramTimers().Subscribe([window, message] { PostMessageW(window, message, 0, 0); }))
    {
    }
    ~TimerBookWatch() { ProgramTimers().Unsubscribe(token_); }
    TimerBookWatch(const TimerBookWatch&) = delete;
    TimerBookWatch& operator=(const TimerBookWatch&) = delete;

private:
    int token_;
};

// Sent by the watches of the timer windows.
constexpr UINT WM_TIMERS_CHANGED = WM_APP + 0x40;
constexpr UINT WM_GRID_TIMERS_CHANGED = WM_APP + 0x41;
