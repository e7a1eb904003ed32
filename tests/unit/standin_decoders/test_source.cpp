#include "test_source.h"

#include <dvdmedia.h>
#include <mmreg.h>
#include <uuids.h>

#include <algorithm>
#include <cstring>

namespace testing_filters {

namespace {

// {0C3A5F4E-7B8D-4E2F-9A61-3D5B2C7E8F10}: a class id for the test filters only.
constexpr CLSID kTestClsid = {0x0c3a5f4e, 0x7b8d, 0x4e2f, {0x9a, 0x61, 0x3d, 0x5b, 0x2c, 0x7e, 0x8f, 0x10}};

class CTestStream : public CSourceStream {
public:
    CTestStream(CSource* filter, const AM_MEDIA_TYPE& type, std::vector<Payload> payloads)
        : CSourceStream(L"test stream", filter, L"Out"), payloads_(std::move(payloads))
    {
        type_.Set(type);
    }

    HRESULT GetMediaType(AM_MEDIA_TYPE* type) override
    {
        return CopyMediaType(*type, type_.Get());
    }
    using CSourceStream::GetMediaType;

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override
    {
        long biggest = 1;
        for (const Payload& p : payloads_) biggest = std::max(biggest, static_cast<long>(p.bytes.size()));
        request->cBuffers = std::max(request->cBuffers, 4L);
        request->cbBuffer = std::max(request->cbBuffer, biggest);
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(request, &actual);
    }

    HRESULT FillBuffer(IMediaSample* sample) override
    {
        if (next_ >= payloads_.size()) return S_FALSE;
        const Payload& p = payloads_[next_++];
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::memcpy(data, p.bytes.data(), p.bytes.size());
        sample->SetActualDataLength(static_cast<long>(p.bytes.size()));
        if (p.start >= 0) {
            REFERENCE_TIME start = p.start, stop = p.start + 1;
            sample->SetTime(&start, &stop);
        } else {
            sample->SetTime(nullptr, nullptr);
        }
        return S_OK;
    }

private:
    MediaType type_;
    std::vector<Payload> payloads_;
    std::size_t next_ = 0;
};

std::uint32_t PcmRate(const AM_MEDIA_TYPE& type)
{
    if (type.formattype != FORMAT_WaveFormatEx || !type.pbFormat || type.cbFormat < 16) return 0;
    return reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat)->nSamplesPerSec;
}

}  // namespace

CTestSource::CTestSource(const AM_MEDIA_TYPE& type, std::vector<Payload> payloads)
    : CSource(L"test source", nullptr, kTestClsid)
{
    new CTestStream(this, type, std::move(payloads));   // owned by the filter
}

IPin* CTestSource::OutputPin() { return GetPin(0); }

class CTestSink::Pin : public CBaseInputPin {
public:
    Pin(CTestSink* sink) : CBaseInputPin(L"test sink pin", sink, &sink->lock_, L"In"), sink_(sink) {}

    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
    {
        return type->majortype == sink_->major_ ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override
    {
        std::lock_guard<std::mutex> lock(sink_->mutex_);
        sink_->rate_ = PcmRate(*type);
        return CBaseInputPin::SetMediaType(type);
    }

protected:
    HRESULT OnEndOfStream() override
    {
        SetEvent(sink_->ended_);
        return S_OK;
    }
    HRESULT OnReceive(IMediaSample* sample) override
    {
        ReceivedSample r;
        AM_MEDIA_TYPE* changed = nullptr;
        std::lock_guard<std::mutex> lock(sink_->mutex_);
        if (sample->GetMediaType(&changed) == S_OK && changed) {
            sink_->rate_ = PcmRate(*changed);
            DeleteMediaType(changed);
        }
        r.length = sample->GetActualDataLength();
        r.timed = SUCCEEDED(sample->GetTime(&r.start, &r.stop));
        r.sampleRate = sink_->rate_;
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        r.head.assign(data, data + std::min(r.length, 64L));
        sink_->samples_.push_back(std::move(r));
        return S_OK;
    }

private:
    CTestSink* sink_;
};

CTestSink::CTestSink(const GUID& majorType)
    : CBaseFilter(L"test sink", nullptr, &lock_, kTestClsid), pin_(new Pin(this)), major_(majorType),
      ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
}

CTestSink::~CTestSink()
{
    delete pin_;
    CloseHandle(ended_);
}

CBasePin* CTestSink::GetPin(int index) { return index == 0 ? pin_ : nullptr; }

IPin* CTestSink::InputPin() { return pin_; }

bool CTestSink::WaitForEnd(DWORD timeoutMs) { return WaitForSingleObject(ended_, timeoutMs) == WAIT_OBJECT_0; }

std::vector<ReceivedSample> CTestSink::Samples()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
}

Bytes SequenceHeader(int width, int height)
{
    return {0x00, 0x00, 0x01, 0xB3, static_cast<std::uint8_t>(width >> 4),
            static_cast<std::uint8_t>(((width & 0xF) << 4) | (height >> 8)), static_cast<std::uint8_t>(height),
            0x23, 0xFF, 0xFF, 0xE0, 0x18};
}

Bytes ServiceMarker(int pid)
{
    Bytes b = {0x00, 0x00, 0x01, 0xB2};
    const std::string text = "BTVPID=" + std::to_string(pid);
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

Bytes Picture(int number)
{
    // Picture header, then a slice start code and some slice data with no start code in it.
    Bytes b = {0x00, 0x00, 0x01, 0x00, static_cast<std::uint8_t>(number >> 2), 0x0F, 0xFF, 0xF8,
               0x00, 0x00, 0x01, 0x01};
    for (int i = 0; i < 200; ++i) b.push_back(static_cast<std::uint8_t>(0x40 + (i * 7 + number) % 0x80));
    return b;
}

void DemuxVideoType(MediaType& type)
{
    AM_MEDIA_TYPE& t = *type.Put();
    t.majortype = MEDIATYPE_Video;
    t.subtype = MEDIASUBTYPE_MPEG2_VIDEO;
    t.bFixedSizeSamples = TRUE;
    t.formattype = FORMAT_MPEG2Video;
    MPEG2VIDEOINFO info{};
    info.hdr.rcSource.right = 720;
    info.hdr.rcSource.bottom = 576;
    info.hdr.dwPictAspectRatioX = 4;
    info.hdr.dwPictAspectRatioY = 3;
    info.hdr.bmiHeader.biSize = 40;
    info.hdr.bmiHeader.biWidth = 720;
    info.hdr.bmiHeader.biHeight = 576;
    t.cbFormat = sizeof info;
    t.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(sizeof info));
    std::memcpy(t.pbFormat, &info, sizeof info);
}

void DemuxAudioType(const GUID& subtype, MediaType& type)
{
    AM_MEDIA_TYPE& t = *type.Put();
    t.majortype = MEDIATYPE_Audio;
    t.subtype = subtype;
    t.bFixedSizeSamples = TRUE;
    t.formattype = FORMAT_WaveFormatEx;
    WAVEFORMATEX w{};
    w.wFormatTag = 1;
    w.nChannels = 2;
    w.nSamplesPerSec = 48000;
    w.nAvgBytesPerSec = 192000;
    w.nBlockAlign = 4;
    w.wBitsPerSample = 16;
    t.cbFormat = sizeof w;
    t.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(sizeof w));
    std::memcpy(t.pbFormat, &w, sizeof w);
}

Bytes Layer2Frame(std::uint32_t rate)
{
    const int index = rate == 44100 ? 0 : rate == 48000 ? 1 : 2;
    const std::size_t bytes = 144 * 192000 / rate;
    Bytes f(bytes, 0x55);
    f[0] = 0xFF;
    f[1] = 0xFD;
    f[2] = static_cast<std::uint8_t>(0xA0 | (index << 2));
    f[3] = 0x04;
    return f;
}

Bytes Ac3Frame()
{
    Bytes f(1792, 0x33);
    f[0] = 0x0B;
    f[1] = 0x77;
    f[4] = 30;
    return f;
}

}  // namespace testing_filters
