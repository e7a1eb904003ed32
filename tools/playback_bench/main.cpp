// playback-bench: how soon pausing live television freezes the picture, and how
// soon resuming shows a new picture from the buffer; with "seek", how soon a
// seek within an hour-long file shows its first picture (seek_bench.cpp).
//
// Usage: playback-bench [ROUNDS]    or    playback-bench seek [ROUNDS]
//
// Starts the program on the demo broadcast with the stand-in tuner and decoders
// and, round after round, presses P on live television, times the moment from
// which the picture (its frame counter) no longer changes (and whether the first
// picture read after P was already the frozen one), waits a second, presses
// P again and times the first picture that differs from the frozen one; then
// "Direct" back to live. Prints the median, minimum and maximum of each. Only
// the picture's part of the window counts (the playback bar's texts move on
// every second). The picture is read from inside the program, some tens of
// milliseconds a read: the figures include that resolution.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_picture.h"
#include "installation.h"
#include "program_driver.h"
#include "seek_bench.h"

namespace {

constexpr int kDirect = 1093;

// From P to the first picture of a run of pictures that stay the same for
// `steadyMs`; -1 after 10 s. `changesAfter` counts the pictures that changed
// after the first one read (0: the first read already showed the frozen picture).
double TimeFreeze(HWND window, const std::wstring& dir, DWORD steadyMs, int& changesAfter)
{
    LARGE_INTEGER start, now, since;
    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_KEYDOWN, 'P', 1);
    std::vector<std::uint32_t> last;
    since = start;
    changesAfter = -1;
    for (;;) {
        const std::vector<std::uint32_t> picture = PictureArea(window, dir);
        QueryPerformanceCounter(&now);
        if (picture != last) {
            last = picture;
            since = now;
            ++changesAfter;
        } else if (Milliseconds(since, now) >= steadyMs) {
            return Milliseconds(start, since);
        }
        if (Milliseconds(start, now) > 10000)
            return -1;
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
    std::vector<double> freeze, resume, reads;
    int frozenAtOnce = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < 3; ++i)
            reads.push_back(TimeRead(window, installation.Path()));
        int changesAfter = 0;
        freeze.push_back(TimeFreeze(window, installation.Path(), 600, changesAfter));
        frozenAtOnce += changesAfter == 0 ? 1 : 0;
        Sleep(1000);
        resume.push_back(TimeResume(window, installation.Path()));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(kDirect, 0), 0);
        Sleep(1500);
    }
    Report("one picture read", reads);
    Report("pause to frozen picture", freeze);
    std::printf("%-30s in %d of %d rounds\n", "frozen at the first read", frozenAtOnce, rounds);
    Report("resume to first picture", resume);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return 0;
}
