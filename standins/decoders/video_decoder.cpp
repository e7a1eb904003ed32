#include "standins/decoders/video_decoder.h"

#include <uuids.h>

#include <cstdlib>

#include "graph/filterbase/media_type.h"
#include "graph/media_framework.h"
#include "standins/decoders/decoder_registration.h"
#include "standins/decoders/media_types.h"
#include "standins/decoders/test_picture.h"

namespace standin {

namespace {

// Three pictures in flight are enough for a renderer that copies each frame.
constexpr long kOutputBuffers = 3;

long FrameBytes(int width, int height) { return static_cast<long>(width) * height * 4; }

}  // namespace

CMpeg2VideoDecoder::CMpeg2VideoDecoder(IUnknown* outer, VideoFormat format)
    : CTransformFilter(format == VideoFormat::Mpeg2 ? L"MPEG-2 video decoder stand-in"
                                                    : L"H.264 video decoder stand-in",
                       outer, format == VideoFormat::Mpeg2 ? CLSID_StandinMpeg2VideoDecoder : CLSID_StandinH264VideoDecoder),
      format_(format)
{
}

const FilterSetup* CMpeg2VideoDecoder::GetSetupData()
{
    return format_ == VideoFormat::Mpeg2 ? &Mpeg2VideoDecoderEntry().setup : &H264VideoDecoderEntry().setup;
}

HRESULT CMpeg2VideoDecoder::CheckInputType(const AM_MEDIA_TYPE& type)
{
    if (type.majortype != MEDIATYPE_Video)
        return VFW_E_TYPE_NOT_ACCEPTED;
    if (format_ == VideoFormat::Mpeg2)
        return type.subtype == MEDIASUBTYPE_MPEG2_VIDEO ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    return type.subtype == MEDIASUBTYPE_H264 || type.subtype == MEDIASUBTYPE_HEVC ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

VideoFormat CMpeg2VideoDecoder::StreamFormat()
{
    if (format_ == VideoFormat::Mpeg2)
        return VideoFormat::Mpeg2;
    return Input().CurrentMediaType().subtype == MEDIASUBTYPE_HEVC ? VideoFormat::Hevc : VideoFormat::H264;
}

HRESULT CMpeg2VideoDecoder::GetOutputType(const AM_MEDIA_TYPE* input, int position, AM_MEDIA_TYPE& type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    int width = 720, height = 576;
    if (input) CompressedVideoSize(*input, width, height);
    return MakeRgb32Type(width, height, 400000, type);
}

HRESULT CMpeg2VideoDecoder::CheckOutputType(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE& type)
{
    int width = 0, height = 0;
    if (!ReadRgb32Type(type, width, height)) return VFW_E_TYPE_NOT_ACCEPTED;
    int expectedWidth = 720, expectedHeight = 576;
    if (input) CompressedVideoSize(*input, expectedWidth, expectedHeight);
    return width == expectedWidth && std::abs(height) == expectedHeight ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

void CMpeg2VideoDecoder::OutputBufferNeeds(long& count, long& bytes)
{
    int width = 720, height = 576;
    if (Input().IsConnected()) CompressedVideoSize(Input().CurrentMediaType(), width, height);
    count = kOutputBuffers;
    bytes = FrameBytes(width, height);
}

void CMpeg2VideoDecoder::StartOfRun()
{
    if (!coreSized_) {
        // Until the first sequence header the connection's format tells the size.
        int width = 720, height = 576;
        CompressedVideoSize(Input().CurrentMediaType(), width, height);
        core_ = VideoDecoderCore(width, height, StreamFormat());
        coreSized_ = true;
    }
    core_.Restart();
    // The frames delivered so far were of the connection's type.
    int h = 0;
    if (ReadRgb32Type(Output().CurrentMediaType(), outputWidth_, h)) {
        outputTopDown_ = h < 0;
        outputHeight_ = std::abs(h);
    } else {
        outputWidth_ = outputHeight_ = 0;
    }
    haveTime_ = false;
}

void CMpeg2VideoDecoder::AfterFlush()
{
    core_.Restart();
    haveTime_ = false;
}

HRESULT CMpeg2VideoDecoder::Transform(IMediaSample* sample)
{
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    const long length = sample->GetActualDataLength();
    if (length <= 0) return S_OK;

    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = SUCCEEDED(sample->GetTime(&start, &stop));
    const auto frames = core_.Feed(data, static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        // The sample's time stamp belongs to the first picture that starts in it.
        if (timed && i == 0) {
            nextTime_ = start;
            haveTime_ = true;
        }
        hr = DeliverFrame(frames[i], nextTime_);
        nextTime_ += frames[i].period100ns;
        if (hr != S_OK) return hr;
    }
    return S_OK;
}

HRESULT CMpeg2VideoDecoder::DeliverFrame(const FrameToDraw& frame, REFERENCE_TIME start)
{
    // A size that differs from what downstream last agreed to goes with the sample
    // as a new media type, if downstream accepts it; else the picture is dropped.
    MediaType newType;
    const bool sizeChanged = frame.width != outputWidth_ || frame.height != outputHeight_;
    if (sizeChanged) {
        HRESULT hr = MakeRgb32Type(frame.width, outputTopDown_ ? -frame.height : frame.height, frame.period100ns,
                                   *newType.Put());
        if (FAILED(hr)) return hr;
        IPin* downstream = Output().GetConnected();
        if (!downstream || downstream->QueryAccept(&newType.Get()) != S_OK) return S_OK;
    }

    IMediaSample* out = nullptr;
    HRESULT hr = GetOutputBuffer(FrameBytes(frame.width, frame.height), &out);
    if (FAILED(hr)) return hr;
    ComPtr<IMediaSample> holder = ComPtr<IMediaSample>::Adopt(out);
    BYTE* pixels = nullptr;
    hr = out->GetPointer(&pixels);
    if (FAILED(hr)) return hr;
    if (out->GetSize() < FrameBytes(frame.width, frame.height)) return E_UNEXPECTED;

    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(frame.width) * 4;
    PictureView view;
    view.width = frame.width;
    view.height = frame.height;
    // Bottom-up rows unless downstream asked for top-down ones.
    view.top = outputTopDown_ ? pixels : pixels + stride * (frame.height - 1);
    view.strideBytes = outputTopDown_ ? stride : -stride;
    static constexpr const char* kMarkers[] = {nullptr, "H.264", "HEVC"};
    DrawTestPicture(view, frame.pid, frame.frameNumber, kMarkers[static_cast<int>(StreamFormat())]);

    out->SetActualDataLength(FrameBytes(frame.width, frame.height));
    out->SetSyncPoint(TRUE);
    out->SetDiscontinuity(FALSE);
    out->SetPreroll(FALSE);
    if (haveTime_) {
        REFERENCE_TIME end = start + frame.period100ns;
        out->SetTime(&start, &end);
    } else {
        out->SetTime(nullptr, nullptr);
    }
    if (sizeChanged) {
        out->SetMediaType(const_cast<AM_MEDIA_TYPE*>(&newType.Get()));
        outputWidth_ = frame.width;
        outputHeight_ = frame.height;
    }
    return Output().Deliver(out);
}

}  // namespace standin
