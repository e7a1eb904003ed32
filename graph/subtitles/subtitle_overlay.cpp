#include "graph/subtitles/subtitle_overlay.h"

#include <algorithm>

namespace {

bool Opaque(Argb pixel) { return (pixel >> 24) >= 0x80; }

}  // namespace

SubtitleOverlay MakeOverlay(const SubtitlePicture& picture)
{
    SubtitleOverlay overlay;
    const unsigned w = picture.width, h = picture.height;
    if (picture.empty || w == 0 || h == 0 || picture.pixels.size() < static_cast<std::size_t>(w) * h)
        return overlay;
    // The smallest box holding every drawn pixel.
    unsigned x0 = w, y0 = h, x1 = 0, y1 = 0;
    for (unsigned y = 0; y < h; ++y) {
        const Argb* row = &picture.pixels[static_cast<std::size_t>(y) * w];
        for (unsigned x = 0; x < w; ++x) {
            if (!Opaque(row[x])) continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x + 1);
            y0 = std::min(y0, y);
            y1 = y + 1;
        }
    }
    if (x1 <= x0 || y1 <= y0) return overlay;
    overlay.width = x1 - x0;
    overlay.height = y1 - y0;
    overlay.pixels.resize(static_cast<std::size_t>(overlay.width) * overlay.height);
    for (unsigned y = y0; y < y1; ++y) {
        const Argb* row = &picture.pixels[static_cast<std::size_t>(y) * w];
        std::uint32_t* to = &overlay.pixels[static_cast<std::size_t>(y - y0) * overlay.width];
        for (unsigned x = x0; x < x1; ++x) to[x - x0] = KeyedPixel(row[x], Opaque(row[x]));
    }
    overlay.left = static_cast<float>(x0) / static_cast<float>(w);
    overlay.right = static_cast<float>(x1) / static_cast<float>(w);
    overlay.top = static_cast<float>(y0) / static_cast<float>(h);
    overlay.bottom = static_cast<float>(y1) / static_cast<float>(h);
    return overlay;
}
