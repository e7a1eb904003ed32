#pragma once
// A subtitle picture made ready for a video mixer that blends a keyed bitmap:
// only the part of the display that holds something, as 32-bit pixels where
// what is not drawn takes the key colour, and where that part lies on the
// picture as fractions of its width and height (so it scales with the video).
#include <cstdint>
#include <vector>

#include "graph/subtitles/dvb_subtitle_decoder.h"

struct SubtitleOverlay {
    unsigned width = 0, height = 0;     // 0: nothing to show
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down, width x height
    float left = 0, top = 0, right = 0, bottom = 0;  // on the picture, 0 to 1
};

// The key colour of the overlays (0x00RRGGBB); a drawn pixel of that colour is
// moved one step off it.
constexpr std::uint32_t kSubtitleKey = 0x00FF00FE;

// Pixels at least half opaque are drawn, fully, the others left to the video: a
// keyed bitmap has no partial transparency.
SubtitleOverlay MakeOverlay(const SubtitlePicture& picture);

// Keys one pixel of a bitmap drawn by other means (`drawn` false: transparent).
constexpr std::uint32_t KeyedPixel(std::uint32_t rgb, bool drawn)
{
    if (!drawn) return kSubtitleKey;
    rgb &= 0x00FFFFFF;
    return rgb == kSubtitleKey ? rgb - 1 : rgb;
}
