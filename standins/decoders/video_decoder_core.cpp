#include "standins/decoders/video_decoder_core.h"

namespace standin {

namespace {

bool SaneSide(int side) { return side > 0 && side <= kMaxPictureSide; }

}  // namespace

VideoDecoderCore::VideoDecoderCore(int initialWidth, int initialHeight, VideoFormat format)
    : scanner_(format),
      width_(SaneSide(initialWidth) && SaneSide(initialHeight) ? initialWidth : 720),
      height_(SaneSide(initialWidth) && SaneSide(initialHeight) ? initialHeight : 576)
{
}

std::vector<FrameToDraw> VideoDecoderCore::Feed(const std::uint8_t* data, std::size_t size)
{
    std::vector<FrameToDraw> frames;
    if (!data) return frames;
    events_.clear();
    scanner_.Feed(data, size, events_);
    for (const VideoStreamEvent& e : events_) {
        switch (e.kind) {
        case VideoStreamEvent::Kind::SequenceHeader:
            width_ = e.sequence.width;
            height_ = e.sequence.height;
            period_ = FramePeriod100ns(e.sequence.frameRateCode);
            break;
        case VideoStreamEvent::Kind::ServicePid:
            pid_ = e.pid;
            break;
        case VideoStreamEvent::Kind::Picture:
            frames.push_back({width_, height_, pid_, ++frames_, period_});
            break;
        }
    }
    return frames;
}

void VideoDecoderCore::Restart()
{
    scanner_.Reset();
    frames_ = 0;
}

}  // namespace standin
