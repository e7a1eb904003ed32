#include "bench_picture.h"

#include <algorithm>
#include <cstdio>

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double MillisecondsSince(const LARGE_INTEGER& from)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return Milliseconds(from, now);
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

int PictureRows(HWND window)
{
    constexpr int kPlaybackBarHeight = 30;
    RECT client{};
    GetClientRect(window, &client);
    int rows = client.bottom - kPlaybackBarHeight;
    HWND status = FindWindowExW(window, nullptr, L"msctls_statusbar32", nullptr);
    RECT bar{};
    if (status && IsWindowVisible(status) && GetWindowRect(status, &bar))
        rows -= bar.bottom - bar.top;
    return std::max(rows, 0);
}

WindowPicture PicturePart(HWND window, const std::wstring& dir)
{
    WindowPicture picture = ReadWindowPicture(window, dir);
    picture.height = std::max(std::min(PictureRows(window), picture.height), 0);
    picture.pixels.resize(static_cast<size_t>(picture.height) * static_cast<size_t>(std::max(picture.width, 0)));
    return picture;
}

std::vector<std::uint32_t> PictureArea(HWND window, const std::wstring& dir)
{
    return PicturePart(window, dir).pixels;
}

double TimeRead(HWND window, const std::wstring& dir)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    PictureArea(window, dir);
    return MillisecondsSince(start);
}
