// playback-bench: how soon pausing live television freezes the picture, and how
// soon resuming shows a new picture from the buffer.
//
// Starts the program on the demo broadcast with the stand-in tuner and decoders
// and, round after round, presses P on live television, times the moment from
// which the picture (its frame counter) no longer changes, waits a second, presses
// P again and times the first picture that differs from the frozen one; then
// "Direct" back to live. Prints the median, minimum and maximum of each. The
// picture is read from inside the program, some tens of milliseconds a read: the
// figures include that resolution.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "installation.h"
#include "program_driver.h"

namespace {

constexpr int kDirect = 1093;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Report(const char* what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t failed = static_cast<size_t>(std::count(times.begin(), times.end(), -1.0));
    times.erase(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(failed));
    if (times.empty()) {
        std::printf("%-30s no result\n", what);
        return;
    }
    std::printf("%-30s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%zu measured, %zu failed)\n", what,
                times[times.size() / 2], times.front(), times.back(), times.size(), failed);
}

// From P to the first picture of a run of pictures that stay the same for
// `steadyMs`; -1 after 10 s.
double TimeFreeze(HWND window, const std::wstring& dir, DWORD steadyMs)
{
    LARGE_INTEGER start, now, since;
    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_KEYDOWN, 'P', 1);
    std::vector<std::uint32_t> last;
    since = start;
    for (;;) {
        const WindowPicture picture = ReadWindowPicture(window, dir);
        QueryPerformanceCounter(&now);
        if (picture.pixels != last) {
            last = picture.pixels;
            since = now;
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
    const std::vector<std::uint32_t> frozen = ReadWindowPicture(window, dir).pixels;
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    PostMessageW(window, WM_KEYDOWN, 'P', 1);
    for (;;) {
        const WindowPicture picture = ReadWindowPicture(window, dir);
        QueryPerformanceCounter(&now);
        if (!picture.pixels.empty() && picture.pixels != frozen)
            return Milliseconds(start, now);
        if (Milliseconds(start, now) > 10000)
            return -1;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    Installation installation;
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    if (!window) {
        std::fprintf(stderr, "playback-bench: the program did not start\n");
        return 1;
    }
    Sleep(3000);  // the first picture
    std::vector<double> freeze, resume;
    for (int r = 0; r < rounds; ++r) {
        freeze.push_back(TimeFreeze(window, installation.Path(), 600));
        Sleep(1000);
        resume.push_back(TimeResume(window, installation.Path()));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(kDirect, 0), 0);
        Sleep(1500);
    }
    Report("pause to frozen picture", freeze);
    Report("resume to first picture", resume);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return 0;
}
