#pragma once
// Where a windowless video renderer draws a picture inside its destination rectangle:
// stretched to fill it, or letter-boxed (the whole picture, its shape kept, centred,
// with bars on the sides that are left over).
#include <vector>

namespace standin {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool operator==(const Box&) const = default;
};

struct VideoPlacement {
    Box picture;               // where the source rectangle is drawn
    std::vector<Box> bars;     // parts of the destination left to the border colour
};

// `source` is the part of the picture shown (in picture pixels) and gives the shape
// to keep; `pictureAspectX:Y` is the shape of the whole picture on screen (the
// picture's own width:height for square pixels). An empty destination gives nothing.
VideoPlacement PlaceVideo(const Box& destination, const Box& source, int pictureWidth, int pictureHeight,
                          int pictureAspectX, int pictureAspectY, bool letterBox);

// The source rectangle clipped to the picture; an empty or absent one means the whole picture.
Box ClipSource(const Box& requested, int pictureWidth, int pictureHeight);

}  // namespace standin
