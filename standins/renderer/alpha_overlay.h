#pragma once
// The mixer bitmap of the renderer stand-in: a copy of the application's bitmap
// and where it goes, blended into each picture before it is drawn, so that it
// scales with the picture as the video does.
#include <cstdint>
#include <vector>

namespace standin {

struct AlphaOverlay {
    int width = 0, height = 0;          // of the copied source rectangle
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down
    float left = 0, top = 0, right = 1, bottom = 1;  // on the picture, as fractions
    float alpha = 1;                    // 0 transparent to 1 opaque
    bool keyed = false;
    std::uint32_t key = 0;              // 0x00RRGGBB, pixels of it are left out
};

// Blends `overlay` into a bottom-up 32-bit picture of `width` x `height` pixels
// (nearest source pixel; nothing drawn outside the picture).
void BlendOverlay(std::uint8_t* picture, int width, int height, const AlphaOverlay& overlay);

}  // namespace standin
