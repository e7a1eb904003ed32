#pragma once
// The picture that the stand-in video decoder shows for each coded picture: a flat
// background whose colour follows the service's video PID, the PID in large digits
// and, below it, the number of the frame. Two services never look alike, and a frozen
// picture is told from a moving one at a glance (and by a test).
#include <cstddef>
#include <cstdint>
#include <string>

namespace standin {

// A 32-bit picture in memory: 4 bytes per pixel in the order blue, green, red, unused
// (the layout of an RGB32 device-independent bitmap). `top` is the first byte of the
// top row; `strideBytes` goes from one row to the one below it and is negative for a
// bottom-up bitmap.
struct PictureView {
    std::uint8_t* top = nullptr;
    std::ptrdiff_t strideBytes = 0;
    int width = 0;
    int height = 0;
};

// Sentinel for a stream whose service marker has not been seen.
inline constexpr int kUnknownPid = -1;

// 0x00RRGGBB of the background for a PID (a fixed grey for kUnknownPid).
std::uint32_t TestPictureBackground(int pid);
// Colour of the digits.
inline constexpr std::uint32_t kTestPictureInk = 0x00FFFFFF;

// The two lines written on the picture: the PID ("----" when unknown) and the frame number.
std::string TestPicturePidText(int pid);
std::string TestPictureFrameText(std::uint32_t frameNumber);

// Draws the whole picture; nothing is written outside the view. A `marker` (the
// codec of a stream other than MPEG-2, such as "H.264") is written in the bottom
// eighth, in a band of kTestPictureMarkerBand.
void DrawTestPicture(const PictureView& view, int pid, std::uint32_t frameNumber, const char* marker = nullptr);

inline constexpr std::uint32_t kTestPictureMarkerBand = 0x00000000;

}  // namespace standin
