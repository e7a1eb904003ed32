// playback-bench: how soon pausing live television freezes the picture, and how
// soon resuming shows a new picture from the buffer; with "seek", how soon a
// seek within an hour-long file shows its first picture (seek_bench.cpp).
//
// Usage: playback-bench [ROUNDS]    or    playback-bench seek [ROUNDS]
//
// Starts the program on the demo broadcast with the stand-in tuner and decoders
// and, round after round, presses P on live television and times:
// - the moment the still is seen: the window that holds it over the picture is
//   shown and painted, polled from here about every millisecond (cover_watch.h);
//   the picture is then read twice from inside the program, and the pause counts
//   as frozen at that moment only if both reads are the same picture;
// - as before, the moment from which the picture read from inside the program
//   no longer changes, at that read's resolution (some tens of milliseconds);
// then waits a second, presses P again and times the first picture that differs
// from the frozen one; then "Direct" back to live. Prints the median, minimum
// and maximum of each. Only the picture's part of the window counts (the
// playback bar's texts move on every second).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_picture.h"
#include "cover_watch.h"
#include "installation.h"
#include "program_driver.h"
#include "seek_bench.h"

namespace {

constexpr int kDirect = 1093;

// One pause: from P to the still seen (`coverMs`), to the window's thread done
// with the key (`handledMs`), and to the first picture of a run of pictures read
// from the program that stay the same for `steadyMs`; -1 after 10 s. `changesAfter` counts the pictures that
// changed after the first one read once the still was seen (0: frozen there).
struct Pause {
    double coverMs = -1;
    double pollGapMs = 0;
    double handledMs = -1;
    double steadyMs = -1;
    int changesAfter = -1;
    bool black = false;  // the frozen picture is of one colour: no still
};

Pause TimePause(HWND window, const std::wstring& dir, DWORD steadyMs)
{
    Pause pause;
    LARGE_INTEGER start, now, since;
    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_KEYDOWN, 'P', 1);
    pause.coverMs = WaitForCover(window, start, 10000, pause.pollGapMs);
    // A bound from the other side: the window's thread answers only once it is
    // done with the key, whose handler paints the still before it returns.
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer))
        pause.handledMs = MillisecondsSince(start);
    std::vector<std::uint32_t> last;
    since = start;
    for (;;) {
        const std::vector<std::uint32_t> picture = PictureArea(window, dir);
        QueryPerformanceCounter(&now);
        if (picture != last) {
            last = picture;
            since = now;
            ++pause.changesAfter;
        } else if (Milliseconds(since, now) >= steadyMs) {
            pause.steadyMs = Milliseconds(start, since);
            pause.black = !last.empty() && std::all_of(last.begin(), last.end(),
                                                       [&](std::uint32_t p) { return p == last.front(); });
            return pause;
        }
        if (Milliseconds(start, now) > 10000)
            return pause;
    }
}

// From P to the first picture unlike the frozen one; -1 after 10 s.
double TimeResume(HWND window, const std::wstring& dir)
{
    const std::vector<std::uint32_t> frozen = PictureArea(window, dir);
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_KEYDOWN, 'P', 1);
    for (;;) {
        const std::vector<std::uint32_t> picture = PictureArea(window, dir);
        QueryPerformanceCounter(&now);
        if (!picture.empty() && picture != frozen)
            return Milliseconds(start, now);
        if (Milliseconds(start, now) > 10000)
            return -1;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const bool seek = argc > 1 && std::string(argv[1]) == "seek";
    const int first = seek ? 2 : 1;
    const int rounds = argc > first ? std::max(1, std::atoi(argv[first])) : 5;
    if (seek)
        return RunSeekBench(rounds);
    Installation installation;
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    if (!window) {
        std::fprintf(stderr, "playback-bench: the program did not start\n");
        return 1;
    }
    Sleep(3000);  // the first picture
    std::vector<double> cover, handled, gaps, freeze, resume, reads;
    int frozenAtCover = 0, black = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < 3; ++i)
            reads.push_back(TimeRead(window, installation.Path()));
        const Pause pause = TimePause(window, installation.Path(), 600);
        // Seen frozen only if the cover was seen and the reads after it agree.
        const bool frozen = pause.coverMs >= 0 && pause.changesAfter == 0;
        cover.push_back(frozen ? pause.coverMs : -1);
        handled.push_back(pause.handledMs);
        gaps.push_back(pause.pollGapMs);
        freeze.push_back(pause.steadyMs);
        frozenAtCover += frozen ? 1 : 0;
        black += pause.black ? 1 : 0;
        Sleep(1000);
        resume.push_back(TimeResume(window, installation.Path()));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(kDirect, 0), 0);
        Sleep(1500);
    }
    Report("pause to still seen", cover);
    Report("  gap to the poll before", gaps);
    Report("pause to the key handled", handled);
    std::printf("%-30s in %d of %d rounds\n", "  frozen from that moment", frozenAtCover, rounds);
    std::printf("%-30s in %d of %d rounds\n", "  still of one colour", black, rounds);
    Report("one picture read", reads);
    Report("pause to frozen (full reads)", freeze);
    Report("resume to first picture", resume);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return 0;
}
