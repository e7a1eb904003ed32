#pragma once
// What the stand-in MPEG-2 video decoder decides, without any platform type: which
// frames to output for the bytes received, at what size, for which service and with
// which number. The filter around it only moves samples.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/decoders/mpeg_video_stream.h"

namespace standin {

struct FrameToDraw {
    int width = 0;
    int height = 0;
    int pid = -1;
    std::uint32_t frameNumber = 0;   // 1 for the first frame since streaming started
    std::int64_t period100ns = 0;    // display duration of the frame
};

class VideoDecoderCore {
public:
    // The size announced by the connection's format, used until a sequence header says
    // otherwise (sides out of 1..kMaxPictureSide fall back to 720 x 576).
    explicit VideoDecoderCore(int initialWidth = 720, int initialHeight = 576,
                              VideoFormat format = VideoFormat::Mpeg2);

    // One frame per picture start code found in `size` bytes, in stream order.
    std::vector<FrameToDraw> Feed(const std::uint8_t* data, std::size_t size);
    // A new run: frame numbers start again at 1 and partial start codes are dropped;
    // the last known size and PID are kept (the stream has not changed).
    void Restart();

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Pid() const { return pid_; }

private:
    MpegVideoScanner scanner_;
    std::vector<VideoStreamEvent> events_;
    int width_;
    int height_;
    int pid_ = -1;
    std::int64_t period_ = 400000;
    std::uint32_t frames_ = 0;
};

}  // namespace standin
