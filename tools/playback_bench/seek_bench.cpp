// How soon a seek within an hour-long file shows its first picture.
//
// tsgen writes one hour of a standard-definition service at a low rate (some
// 270 MB) into a scratch folder deleted at the end. The program plays it from
// "Lire un enregistrement..."; the bench then seeks, round after round, to the
// middle, near the end and back near the start, as a click on the slider does,
// and times from the click to the first picture from the new place; then once
// more while paused, where that picture replaces the still.
//
// The stand-in decoder numbers its pictures from 1 again after a flush, and the
// number is drawn under the service's PID: a seek's first pictures are those
// whose number has one digit, where before the seek it had several (each seek
// waits for the tenth picture of the one before). The picture is read from
// inside the program: the figures include one read's duration.
#include "seek_bench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_picture.h"
#include "installation.h"
#include "playback_driver.h"
#include "program_driver.h"
#include "recorded_packets.h"
#include "resources/playback_ids.h"
#include "standins/decoders/test_picture.h"

namespace {

constexpr int kVideoPid = 0x0110;
const char kHourLong[] =
    "broadcast clock=2026-03-14T19:30:00 seconds=3600\n"
    "repeat pat=100 pmt=100 sdt=500 nit=1000 pcr=30\n"
    "network id=0x20FA\n"
    "mux uhf=21 tsid=0x0001 onid=0x20FA bitrate=600000\n"
    "service sid=0x0101 name=\"Une heure\" type=tv pmt=0x0100\n"
    "video pid=0x0110 size=720x576 aspect=16:9 rate=25 bitrate=200000\n"
    "audio pid=0x0111 lang=fra bitrate=64000\n";

bool IsInk(std::uint32_t pixel)
{
    return (pixel & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) > 0xC0 && ((pixel >> 16) & 0xFF) > 0xC0;
}

// The share of the picture's width that the frame number's line takes, the
// picture being the box of the service's colour; -1 without such a box.
double FrameLineShare(const std::vector<std::uint32_t>& pixels, int width, int height, std::uint32_t background)
{
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((pixels[static_cast<size_t>(y) * width + x] & 0x00FFFFFF) == background) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right - left < 16 || bottom - top < 16)
        return -1;
    // The number's line: from five eighths of the picture's height, a quarter high.
    const int h = bottom - top + 1;
    int inkLeft = right + 1, inkRight = left - 1;
    for (int y = top + h * 5 / 8; y < top + h * 7 / 8; ++y)
        for (int x = left; x <= right; ++x)
            if (IsInk(pixels[static_cast<size_t>(y) * width + x])) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    return inkRight < inkLeft ? 0 : static_cast<double>(inkRight - inkLeft + 1) / (right - left + 1);
}

// Halfway between the shares of a one-digit and a two-digit number, as the
// stand-in draws them.
double OneDigitLimit(std::uint32_t background)
{
    constexpr int kWidth = 720, kHeight = 576;
    auto share = [&](std::uint32_t frame) {
        std::vector<std::uint32_t> pixels(kWidth * kHeight);
        standin::PictureView view{reinterpret_cast<std::uint8_t*>(pixels.data()), kWidth * 4, kWidth, kHeight};
        standin::DrawTestPicture(view, kVideoPid, frame);
        return FrameLineShare(pixels, kWidth, kHeight, background);
    };
    return (share(8) + share(10)) / 2;
}

double Share(HWND window, const std::wstring& dir, std::uint32_t background)
{
    const WindowPicture picture = PicturePart(window, dir);
    return FrameLineShare(picture.pixels, picture.width, picture.height, background);
}

}  // namespace

int RunSeekBench(int rounds)
{
    ScratchDir streams;
    std::printf("writing an hour-long stream...\n");
    std::fflush(stdout);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    const bool made = GenerateBroadcastInto(streams, kHourLong);
    const std::vector<std::wstring> files = FilesIn(streams.Path(), L"*.ts");
    if (!made || files.size() != 1) {
        std::fprintf(stderr, "playback-bench: tsgen did not write the stream\n");
        return 1;
    }
    const std::wstring path = streams.Path() + L"\\" + files[0];
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    std::printf("%-30s %.0f MB in %.1f s\n", "stream written",
                static_cast<double>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / 1e6,
                MillisecondsSince(start) / 1000);

    Installation installation;
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    QueryPerformanceCounter(&start);
    if (!window || !OpenThroughDialog(program, window, path) ||
        !WaitUntil([&] { return ClockSeconds(PlaybackBarText(window), 11) > 0; }, 60000)) {
        std::fprintf(stderr, "playback-bench: the program did not play the stream\n");
        return 1;
    }
    const int duration = ClockSeconds(PlaybackBarText(window), 11);
    std::printf("%-30s %.0f ms, duration %d s\n", "opened (dialog included)", MillisecondsSince(start), duration);

    const std::uint32_t background = standin::TestPictureBackground(kVideoPid);
    const double limit = OneDigitLimit(background);
    const std::wstring& dir = installation.Path();
    std::vector<double> times, pausedTimes, reads;
    int worstLanding = 0;
    // From the click at `target` to the first picture from there; -1 after 5 s.
    auto seek = [&](double target) {
        const WPARAM share = static_cast<WPARAM>(target * kPlaybackSeekScale);
        QueryPerformanceCounter(&start);
        PostMessageW(window, kPlaybackSeekMessage, share, 0);
        double took = -1;
        while (MillisecondsSince(start) < 5000) {
            const double now = Share(window, dir, background);
            if (now >= 0 && now < limit) {
                took = MillisecondsSince(start);
                break;
            }
        }
        const int landed = ClockSeconds(PlaybackBarText(window), 0);
        worstLanding = std::max(worstLanding, std::abs(landed - static_cast<int>(target * duration)));
        return took;
    };
    // Past the ninth picture of the last place (or of the start).
    auto settled = [&] { return WaitUntil([&] { return Share(window, dir, background) > limit; }, 10000); };
    const double places[] = {0.5, 0.95, 0.05};
    for (int r = 0; r < rounds; ++r) {
        for (double place : places) {
            if (!settled()) {
                times.push_back(-1);
                continue;
            }
            reads.push_back(TimeRead(window, dir));
            times.push_back(seek(place + 0.01 * r));
        }
        // Paused: the seek's first picture takes the place of the still.
        if (!settled()) {
            pausedTimes.push_back(-1);
            continue;
        }
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_PLAYBACK_PAUSE, 0), 0);
        Sleep(500);
        pausedTimes.push_back(seek(0.3 + 0.01 * r));
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_PLAYBACK_PAUSE, 0), 0);
    }
    Report("one picture read", reads);
    Report("seek to first picture", times);
    Report("the same while paused", pausedTimes);
    std::printf("%-30s %d s at most from its target\n", "position shown after a seek", worstLanding);
    PostMessageW(window, WM_CLOSE, 0, 0);
    program.WaitForExit();
    return 0;
}
