#include "standins/renderer/alpha_overlay.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace standin {

namespace {

int ToPixel(float fraction, int size)
{
    const float clamped = std::clamp(fraction, 0.0f, 1.0f);
    return static_cast<int>(std::lround(clamped * static_cast<float>(size)));
}

std::uint32_t Mix(std::uint32_t under, std::uint32_t over, unsigned weight)  // weight 0-256
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned a = (under >> shift) & 0xFF, b = (over >> shift) & 0xFF;
        out |= ((a * (256 - weight) + b * weight) >> 8) << shift;
    }
    return out;
}

}  // namespace

void BlendOverlay(std::uint8_t* picture, int width, int height, const AlphaOverlay& overlay)
{
    if (!picture || width <= 0 || height <= 0 || overlay.width <= 0 || overlay.height <= 0) return;
    if (overlay.pixels.size() < static_cast<std::size_t>(overlay.width) * overlay.height) return;
    const unsigned weight = static_cast<unsigned>(std::lround(std::clamp(overlay.alpha, 0.0f, 1.0f) * 256));
    if (weight == 0) return;
    const int x0 = ToPixel(overlay.left, width), x1 = ToPixel(overlay.right, width);
    const int y0 = ToPixel(overlay.top, height), y1 = ToPixel(overlay.bottom, height);
    if (x1 <= x0 || y1 <= y0) return;
    for (int y = y0; y < y1; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y - y0) * overlay.height / (y1 - y0));
        const std::uint32_t* from = &overlay.pixels[static_cast<std::size_t>(sy) * overlay.width];
        // Bottom-up rows: the picture's row y is stored height-1-y rows in.
        std::uint8_t* row = picture + static_cast<std::size_t>(height - 1 - y) * width * 4;
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t over =
                from[static_cast<long long>(x - x0) * overlay.width / (x1 - x0)] & 0x00FFFFFF;
            if (overlay.keyed && over == (overlay.key & 0x00FFFFFF)) continue;
            std::uint32_t under;
            std::memcpy(&under, row + x * 4, 4);
            const std::uint32_t mixed = weight >= 256 ? over : Mix(under, over, weight);
            std::memcpy(row + x * 4, &mixed, 4);
        }
    }
}

}  // namespace standin
