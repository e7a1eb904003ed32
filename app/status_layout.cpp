#include "app/status_layout.h"

std::array<int, kStatusParts> StatusBarRightEdges(int width)
{
    const int extra = width <= 500 ? 0 : (width - 500) / 2;
    return {100, 160, 300 + extra, 360 + extra, -1};
}
