#include "graph_harness.h"

#include <uuids.h>

#include <chrono>
#include <cstring>

#include "graph/pin_types.h"
#include "graph/filterbase/media_type.h"
#include "standins/demux/factory.h"

#include "graph/media_framework.h"

namespace {
const CLSID CLSID_PushSource = {0x1c0f3e55, 0x7d0a, 0x4e8b, {0x91, 0x2d, 0x5a, 0x40, 0x11, 0x7e, 0x02, 0x31}};
const CLSID CLSID_RecordingSink = {0x1c0f3e55, 0x7d0a, 0x4e8b, {0x91, 0x2d, 0x5a, 0x40, 0x11, 0x7e, 0x02, 0x32}};

HRESULT FirstPin(IBaseFilter* filter, PIN_DIRECTION direction, ComPtr<IPin>& out)
{
    ComPtr<IEnumPins> pins;
    HRESULT hr = filter->EnumPins(pins.Put());
    if (FAILED(hr)) return hr;
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.Put(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        if (d == direction) {
            out = pin;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

HRESULT Connect(IFilterGraph2* graph, IBaseFilter* from, IBaseFilter* to)
{
    ComPtr<IPin> out, in;
    HRESULT hr = FirstPin(from, PINDIR_OUTPUT, out);
    if (SUCCEEDED(hr)) hr = FirstPin(to, PINDIR_INPUT, in);
    if (SUCCEEDED(hr)) hr = graph->ConnectDirect(out.Get(), in.Get(), nullptr);
    return hr;
}
}  // namespace

PushPin::PushPin(CSource* filter, long sampleSize)
    : CSourceStream(L"push pin", filter, L"Out"), sampleSize_(sampleSize)
{
}

void PushPin::Push(const Bytes& bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.insert(queue_.end(), bytes.begin(), bytes.end());
    changed_.notify_all();
}

bool PushPin::WaitDrained(DWORD timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return queue_.empty() && !inFlight_; });
}

HRESULT PushPin::CheckMediaType(const AM_MEDIA_TYPE* type)
{
    return type->majortype == MEDIATYPE_Stream && type->subtype == MEDIASUBTYPE_MPEG2_TRANSPORT ? S_OK : E_FAIL;
}

HRESULT PushPin::GetMediaType(int position, AM_MEDIA_TYPE* type)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    InitMediaType(*type);
    type->majortype = MEDIATYPE_Stream;
    type->subtype = MEDIASUBTYPE_MPEG2_TRANSPORT;
    type->formattype = FORMAT_None;
    return S_OK;
}

HRESULT PushPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    ALLOCATOR_PROPERTIES wanted{4, sampleSize_, request->cbAlign > 0 ? request->cbAlign : 1, 0}, actual{};
    return allocator->SetProperties(&wanted, &actual);
}

HRESULT PushPin::FillBuffer(IMediaSample* sample)
{
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::unique_lock<std::mutex> lock(mutex_);
    inFlight_ = false;
    changed_.notify_all();
    // A short wait, then an empty sample: the worker must stay free to hear Stop.
    changed_.wait_for(lock, std::chrono::milliseconds(20), [&] { return !queue_.empty(); });
    const std::size_t n = std::min<std::size_t>(queue_.size(), static_cast<std::size_t>(sample->GetSize()));
    std::copy(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n), data);
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n));
    inFlight_ = n > 0;
    sample->SetActualDataLength(static_cast<long>(n));
    return S_OK;
}

PushSource::PushSource(long sampleSize) : CSource(L"push source", nullptr, CLSID_PushSource)
{
    pin = new PushPin(this, sampleSize);
}

class RecordingSink::Pin : public CBaseInputPin {
public:
    explicit Pin(RecordingSink* sink) : CBaseInputPin(L"sink pin", sink, &sink->lock_, L"In"), sink_(sink) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE*) override { return S_OK; }
    HRESULT GetMediaType(int, AM_MEDIA_TYPE*) override { return VFW_S_NO_MORE_ITEMS; }

protected:
    HRESULT OnReceive(IMediaSample* sample) override
    {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        const long n = sample->GetActualDataLength();
        std::lock_guard<std::mutex> lock(sink_->mutex_);
        sink_->samples_.emplace_back(data, data + n);
        return S_OK;
    }

private:
    RecordingSink* sink_;
};

RecordingSink::RecordingSink() : CBaseFilter(L"recording sink", nullptr, &lock_, CLSID_RecordingSink)
{
    pin_ = new Pin(this);
}

RecordingSink::~RecordingSink() { delete pin_; }

CBasePin* RecordingSink::GetPin(int index) { return index == 0 ? pin_ : nullptr; }

std::vector<Bytes> RecordingSink::Samples()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
}

Bytes RecordingSink::Joined()
{
    Bytes all;
    for (const Bytes& b : Samples()) all.insert(all.end(), b.begin(), b.end());
    return all;
}

ProgramPinType::ProgramPinType(const wchar_t* pinName)
{
    if (std::wcscmp(pinName, L"video") == 0)
        MakeVideoPinType(type_);
    else if (std::wcscmp(pinName, L"data") == 0)
        MakeDataPinType(type_);
    else if (std::wcscmp(pinName, L"ac3") == 0)
        MakeAudioPinType(type_, MEDIASUBTYPE_DOLBY_AC3);
    else
        MakeAudioPinType(type_, MEDIASUBTYPE_MPEG2_AUDIO);
}

ProgramPinType::~ProgramPinType() { FreeMediaType(type_); }

DemuxGraph::DemuxGraph() = default;

DemuxGraph::~DemuxGraph()
{
    if (control) control->Stop();
}

HRESULT DemuxGraph::Build()
{
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterGraph2,
                                  graph.PutVoid());
    if (FAILED(hr)) return hr;
    graph.As(IID_IMediaControl, control);

    source = new PushSource(1000);
    if (FAILED(hr = graph->AddFilter(source, L"Source"))) return hr;
    ComPtr<IBaseFilter> grabber;
    hr = CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabber.PutVoid());
    if (FAILED(hr)) return hr;
    if (FAILED(hr = graph->AddFilter(grabber.Get(), L"Grabber"))) return hr;
    if (FAILED(hr = CreateStandinDemux(nullptr, IID_IBaseFilter, demux.PutVoid()))) return hr;
    if (FAILED(hr = graph->AddFilter(demux.Get(), L"Demux"))) return hr;
    if (FAILED(hr = Connect(graph.Get(), source, grabber.Get()))) return hr;
    if (FAILED(hr = Connect(graph.Get(), grabber.Get(), demux.Get()))) return hr;
    if (FAILED(hr = demux.As(IID_IMpeg2Demultiplexer, demuxControl))) return hr;

    struct Branch {
        const wchar_t* name;
        RecordingSink** sink;
        ComPtr<IMPEG2PIDMap>* map;
    } branches[] = {{L"video", &video, &videoMap}, {L"son", &audio, &audioMap}, {L"ac3", &ac3, &ac3Map}};
    for (Branch& b : branches) {
        ProgramPinType type(b.name);
        ComPtr<IPin> pin;
        hr = demuxControl->CreateOutputPin(type.Get(), const_cast<LPWSTR>(b.name), pin.Put());
        if (FAILED(hr)) return hr;
        *b.sink = new RecordingSink();
        if (FAILED(hr = graph->AddFilter(*b.sink, b.name))) return hr;
        ComPtr<IPin> in;
        FirstPin(*b.sink, PINDIR_INPUT, in);
        if (FAILED(hr = graph->ConnectDirect(pin.Get(), in.Get(), nullptr))) return hr;
        if (FAILED(hr = pin.As(IID_IMPEG2PIDMap, *b.map))) return hr;
    }

    ProgramPinType type(L"data");
    ComPtr<IPin> dataPin;
    hr = demuxControl->CreateOutputPin(type.Get(), const_cast<LPWSTR>(L"data"), dataPin.Put());
    if (FAILED(hr)) return hr;
    ComPtr<IBaseFilter> sections;
    if (FAILED(hr = CreateStandinMpeg2Data(nullptr, IID_IBaseFilter, sections.PutVoid()))) return hr;
    if (FAILED(hr = graph->AddFilter(sections.Get(), L"MPEG2 data"))) return hr;
    ComPtr<IPin> in;
    FirstPin(sections.Get(), PINDIR_INPUT, in);
    if (FAILED(hr = graph->ConnectDirect(dataPin.Get(), in.Get(), nullptr))) return hr;
    if (FAILED(hr = dataPin.As(IID_IMPEG2PIDMap, dataMap))) return hr;
    if (FAILED(hr = sections.As(IID_IMpeg2Data, mpeg2Data))) return hr;
    return control->Run();
}
