#pragma once
// Stand-in MPEG-2 video decoder: for every coded picture it delivers one RGB32 test
// picture (see test_picture.h) of the size given by the stream's sequence headers.
#include <cstdint>

#include "standins/decoders/transform_filter.h"
#include "standins/decoders/video_decoder_core.h"

namespace standin {

class CMpeg2VideoDecoder : public CTransformFilter {
public:
    // MPEG-2, or (for VideoFormat::H264) H.264 and HEVC: the connection's subtype
    // tells those two apart, and their test picture is marked "H.264" or "HEVC".
    CMpeg2VideoDecoder(IUnknown* outer, VideoFormat format);

    const FilterSetup* GetSetupData() override;

    HRESULT CheckInputType(const AM_MEDIA_TYPE& type) override;
    HRESULT GetOutputType(const AM_MEDIA_TYPE* input, int position, AM_MEDIA_TYPE& type) override;
    HRESULT CheckOutputType(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE& type) override;
    void OutputBufferNeeds(long& count, long& bytes) override;
    HRESULT Transform(IMediaSample* sample) override;
    void StartOfRun() override;
    void AfterFlush() override;

private:
    HRESULT DeliverFrame(const FrameToDraw& frame, REFERENCE_TIME start);

    // Streaming state, under the streaming lock.
    VideoFormat StreamFormat();

    const VideoFormat format_;
    VideoDecoderCore core_;
    bool coreSized_ = false;
    int outputWidth_ = 0;          // size of the frames the downstream pin last agreed to
    int outputHeight_ = 0;
    bool outputTopDown_ = false;
    bool haveTime_ = false;
    REFERENCE_TIME nextTime_ = 0;
};

}  // namespace standin
