// grid-paint-bench [ROUNDS]: the "Guide complet" grid control with eight days
// of a 30-channel broadcast (10,020 programmes) in a 1000 by 600 window, moved
// by Page Down (back to now at the end) and repainted at once, ROUNDS times
// (default 200). Prints the median, the 90th percentile and the slowest repaint,
// in milliseconds, the move included.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/guide_grid_control.h"

namespace {

constexpr std::int64_t kNow = 1796817600;  // 2026-12-09T12:00:00Z
constexpr int kChannels = 30;
constexpr int kEventsPerChannel = 334;

std::vector<GridRow> EightDays()
{
    std::vector<GridRow> rows;
    for (int c = 0; c < kChannels; ++c) {
        GridRow row{c, c + 1, "Cha\xC3\xAEne " + std::to_string(c + 1),
                    {0x20FA, static_cast<std::uint16_t>(c / 6 + 1), static_cast<std::uint16_t>(0x100 + c)}, {}};
        for (int i = 0; i < kEventsPerChannel; ++i) {
            GuideEntry e;
            e.service = row.key;
            e.start = kNow - 3600 + i * 35 * 60 + c * 300;
            e.stop = e.start + 35 * 60;
            e.title = "Programme d'\xC3\xA9t\xC3\xA9 num\xC3\xA9ro " + std::to_string(i);
            e.content = static_cast<std::uint8_t>(0x10 * (1 + i % 10));
            row.events.push_back(std::move(e));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterGuideGridClass(instance))
        return 1;
    HWND grid = CreateWindowExW(0, kGuideGridClass, L"grid-paint-bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000,
                                600, nullptr, nullptr, instance, nullptr);
    if (!grid)
        return 1;
    GuideGridModel model;
    model.rows = EightDays();
    model.now = kNow;
    model.offsetAt = [](std::int64_t) { return 3600; };
    SetGuideGridModel(grid, &model);
    model.state = StateAtNow(model.Context(), 0);

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        model.state = Navigate(model.Context(), model.state,
                               model.state.view.start > kNow + 7 * 86400 ? GridMove::Home : GridMove::PageDown);
        InvalidateRect(grid, nullptr, FALSE);
        UpdateWindow(grid);
        GdiFlush();
        QueryPerformanceCounter(&to);
        times.push_back(Milliseconds(from, to, frequency));
    }
    std::sort(times.begin(), times.end());
    std::printf("repaints %d  median %.3f ms  p90 %.3f ms  max %.3f ms\n", rounds, times[times.size() / 2],
                times[times.size() * 9 / 10], times.back());
    SetGuideGridModel(grid, nullptr);
    DestroyWindow(grid);
    return 0;
}
