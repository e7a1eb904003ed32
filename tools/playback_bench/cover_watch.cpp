#include "cover_watch.h"

#include "bench_picture.h"

HWND FindCover(HWND window)
{
    return FindWindowExW(window, nullptr, L"BrisomePlaybackCover", nullptr);
}

bool CoverPainted(HWND cover)
{
    // The cover is shown before it is painted (its paint follows at once on
    // the window's thread): shown with an update region is not seen yet.
    return cover && IsWindowVisible(cover) && !GetUpdateRect(cover, nullptr, FALSE);
}

double WaitForCover(HWND window, const LARGE_INTEGER& start, double limitMs, double& gapMs)
{
    gapMs = 0;
    double previous = 0;
    HWND cover = nullptr;
    for (;;) {
        // Made on the first pause and kept: looked up only until it exists.
        if (!cover)
            cover = FindCover(window);
        const bool painted = CoverPainted(cover);
        const double now = MillisecondsSince(start);
        gapMs = now - previous;
        previous = now;
        if (painted)
            return now;
        if (now > limitMs)
            return -1;
        Sleep(1);
    }
}
