#include "standins/renderer/video_placement.h"

#include <algorithm>
#include <cstdint>

namespace standin {

Box ClipSource(const Box& requested, int pictureWidth, int pictureHeight)
{
    Box whole{0, 0, std::max(pictureWidth, 0), std::max(pictureHeight, 0)};
    if (requested.Empty()) return whole;
    Box b{std::max(requested.left, 0), std::max(requested.top, 0), std::min(requested.right, whole.right),
          std::min(requested.bottom, whole.bottom)};
    return b.Empty() ? whole : b;
}

VideoPlacement PlaceVideo(const Box& destination, const Box& source, int pictureWidth, int pictureHeight,
                          int pictureAspectX, int pictureAspectY, bool letterBox)
{
    VideoPlacement out;
    if (destination.Empty()) return out;
    out.picture = destination;
    if (!letterBox || source.Empty() || pictureWidth <= 0 || pictureHeight <= 0) return out;
    if (pictureAspectX <= 0 || pictureAspectY <= 0) {
        pictureAspectX = pictureWidth;
        pictureAspectY = pictureHeight;
    }

    // Shape on screen of the source part: its pixel size scaled by the picture's
    // display aspect over its pixel aspect. 64-bit products: sides are at most a few
    // thousand, aspects may be any 32-bit values.
    const std::int64_t shapeX = std::int64_t{source.Width()} * pictureAspectX * pictureHeight;
    const std::int64_t shapeY = std::int64_t{source.Height()} * pictureAspectY * pictureWidth;
    const std::int64_t dw = destination.Width(), dh = destination.Height();
    std::int64_t w = dw, h = dh;
    if (dw * shapeY > dh * shapeX)
        w = dh * shapeX / shapeY;   // destination wider than the picture: bars left and right
    else
        h = dw * shapeY / shapeX;   // taller: bars above and below
    const int left = destination.left + static_cast<int>((dw - w) / 2);
    const int top = destination.top + static_cast<int>((dh - h) / 2);
    out.picture = {left, top, left + static_cast<int>(w), top + static_cast<int>(h)};

    const Box& d = destination;
    const Box& p = out.picture;
    const Box candidates[] = {
        {d.left, d.top, d.right, p.top},          // above
        {d.left, p.bottom, d.right, d.bottom},    // below
        {d.left, p.top, p.left, p.bottom},        // left
        {p.right, p.top, d.right, p.bottom},      // right
    };
    for (const Box& b : candidates)
        if (!b.Empty()) out.bars.push_back(b);
    return out;
}

}  // namespace standin
