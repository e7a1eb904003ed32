#include "standins/demux/demux_filter.h"

#include <uuids.h>
#include <ks.h>
#include <ksmedia.h>
#include <bdamedia.h>

#include <new>

#include "graph/filterbase/base_input_pin.h"
#include "standins/demux/demux_output_pin.h"
#include "standins/demux/factory.h"

class CDemuxInputPin : public CBaseInputPin {
public:
    CDemuxInputPin(CStandinDemux* demux, CriticalSection* lock)
        : CBaseInputPin(L"Demux input pin", demux, lock, L"MPEG-2 Stream"), demux_(demux)
    {
    }

    // The transport stream, from a file source or a BDA receiver.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* type) override
    {
        if (!type) return E_POINTER;
        if (type->majortype != MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
        if (type->subtype == MEDIASUBTYPE_MPEG2_TRANSPORT ||
            type->subtype == KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT)
            return S_OK;
        return VFW_E_TYPE_NOT_ACCEPTED;
    }

    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override
    {
        if (!type) return E_POINTER;
        if (position < 0) return E_INVALIDARG;
        if (position > 1) return VFW_S_NO_MORE_ITEMS;
        InitMediaType(*type);
        type->majortype = MEDIATYPE_Stream;
        type->subtype = position == 0 ? MEDIASUBTYPE_MPEG2_TRANSPORT : KSDATAFORMAT_SUBTYPE_BDA_MPEG2_TRANSPORT;
        type->formattype = FORMAT_None;
        return S_OK;
    }

protected:
    HRESULT OnReceive(IMediaSample* sample) override
    {
        BYTE* bytes = nullptr;
        if (FAILED(sample->GetPointer(&bytes)) || !bytes) return S_OK;
        const long length = sample->GetActualDataLength();
        if (length <= 0) return S_OK;
        return demux_->ReceiveStream(bytes, static_cast<std::size_t>(length));
    }
    HRESULT OnBeginFlush() override
    {
        demux_->BeginFlush();
        return S_OK;
    }
    HRESULT OnEndFlush() override
    {
        demux_->EndFlush();
        return S_OK;
    }
    HRESULT OnEndOfStream() override
    {
        demux_->EndOfStream();
        return S_OK;
    }
    HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override
    {
        demux_->NewSegment(start, stop, rate);
        return S_OK;
    }

private:
    CStandinDemux* demux_;
};

CStandinDemux::CStandinDemux()
    : WithInterfaces(L"MPEG-2 demultiplexer stand-in", nullptr, &stateLock_, CLSID_MPEG2Demultiplexer),
      router_([this](const RoutedData& data) { Route(data); }),
      input_(new CDemuxInputPin(this, &stateLock_))
{
}

CStandinDemux::~CStandinDemux()
{
    delete input_;
    for (CDemuxOutputPin* pin : outputs_) delete pin;
    for (CDemuxOutputPin* pin : retired_) delete pin;
}

HRESULT STDMETHODCALLTYPE CStandinDemux::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IMpeg2Demultiplexer) return GetInterface(static_cast<IMpeg2Demultiplexer*>(this), out);
    return CBaseFilter::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CStandinDemux::Run(REFERENCE_TIME start)
{
    // The base class pauses first when stopped (which clears running_).
    HRESULT hr = CBaseFilter::Run(start);
    if (SUCCEEDED(hr)) {
        std::lock_guard<std::mutex> lock(clockMutex_);
        runStart_ = start;
        running_ = true;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CStandinDemux::Pause()
{
    {
        std::lock_guard<std::mutex> lock(clockMutex_);
        running_ = false;
    }
    return CBaseFilter::Pause();
}

HRESULT STDMETHODCALLTYPE CStandinDemux::SetSyncSource(IReferenceClock* clock)
{
    {
        std::lock_guard<std::mutex> lock(clockMutex_);
        clock_ = ComPtr<IReferenceClock>::Share(clock);
    }
    return CBaseFilter::SetSyncSource(clock);
}

REFERENCE_TIME CStandinDemux::RunStart()
{
    std::lock_guard<std::mutex> lock(clockMutex_);
    return runStart_;
}

std::optional<std::int64_t> CStandinDemux::ArrivalTime()
{
    std::lock_guard<std::mutex> lock(clockMutex_);
    REFERENCE_TIME now = 0;
    if (!running_ || !clock_ || FAILED(clock_->GetTime(&now))) return std::nullopt;
    return now - runStart_;
}

HRESULT STDMETHODCALLTYPE CStandinDemux::Stop()
{
    {
        std::lock_guard<std::mutex> lock(clockMutex_);
        running_ = false;
    }
    HRESULT hr = CBaseFilter::Stop();
    // The pins are inactive and their allocators decommitted, so a Receive still
    // running ends soon; once it has, the half-built units of the old run go.
    std::lock_guard<std::mutex> stream(streamMutex_);
    router_.Reset();
    return hr;
}

int CStandinDemux::GetPinCount()
{
    AutoLock lock(stateLock_);
    return 1 + static_cast<int>(outputs_.size());
}

CBasePin* CStandinDemux::GetPin(int index)
{
    AutoLock lock(stateLock_);
    if (index == 0) return input_;
    if (index < 1 || index > static_cast<int>(outputs_.size())) return nullptr;
    return outputs_[static_cast<std::size_t>(index - 1)];
}

CDemuxOutputPin* CStandinDemux::FindOutput(const wchar_t* name)
{
    for (CDemuxOutputPin* pin : outputs_) {
        if (pin->PinName() == name) return pin;
    }
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CStandinDemux::CreateOutputPin(AM_MEDIA_TYPE* type, LPWSTR name, IPin** pin)
{
    if (!type || !name || !pin) return E_POINTER;
    *pin = nullptr;
    AutoLock lock(stateLock_);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (name[0] == L'\0' || FindOutput(name)) return E_INVALIDARG;
    auto* created = new (std::nothrow) CDemuxOutputPin(this, &stateLock_, name, nextOutput_, *type);
    if (!created) return E_OUTOFMEMORY;
    {
        std::lock_guard<std::mutex> stream(streamMutex_);
        outputs_.push_back(created);
    }
    ++nextOutput_;
    IncrementPinVersion();
    *pin = static_cast<IPin*>(created);
    created->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinDemux::SetOutputPinMediaType(LPWSTR name, AM_MEDIA_TYPE* type)
{
    if (!type || !name) return E_POINTER;
    AutoLock lock(stateLock_);
    CDemuxOutputPin* pin = FindOutput(name);
    if (!pin) return VFW_E_NOT_FOUND;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    // A connected pin keeps its connection only if the other side takes the new type.
    if (IPin* connected = pin->GetConnected()) {
        if (connected->QueryAccept(type) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
        HRESULT hr = pin->SetMediaType(type);
        if (FAILED(hr)) return hr;
    }
    return pin->ChangeType(*type);
}

HRESULT STDMETHODCALLTYPE CStandinDemux::DeleteOutputPin(LPWSTR name)
{
    if (!name) return E_POINTER;
    AutoLock lock(stateLock_);
    CDemuxOutputPin* pin = FindOutput(name);
    if (!pin) return VFW_E_NOT_FOUND;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (ComPtr<IPin> connected = ComPtr<IPin>::Share(pin->GetConnected())) {
        connected->Disconnect();
        pin->Disconnect();
    }
    router_.UnmapOutput(pin->Output());
    {
        std::lock_guard<std::mutex> stream(streamMutex_);
        std::erase(outputs_, pin);
    }
    retired_.push_back(pin);
    IncrementPinVersion();
    return S_OK;
}

HRESULT CStandinDemux::ReceiveStream(const BYTE* bytes, std::size_t size)
{
    const std::optional<std::int64_t> arrival = ArrivalTime();
    std::lock_guard<std::mutex> stream(streamMutex_);
    router_.Feed(bytes, size, arrival);
    return S_OK;
}

void CStandinDemux::Route(const RoutedData& data)
{
    // Called by the router inside Feed, so under streamMutex_.
    for (CDemuxOutputPin* pin : outputs_) {
        if (pin->Output() == data.output) {
            pin->DeliverRouted(data);
            return;
        }
    }
}

void CStandinDemux::BeginFlush()
{
    // Not under streamMutex_: a Receive blocked downstream is what the flush frees.
    AutoLock lock(stateLock_);
    for (CDemuxOutputPin* pin : outputs_) {
        if (pin->GetConnected()) pin->DeliverBeginFlush();
    }
}

void CStandinDemux::EndFlush()
{
    std::lock_guard<std::mutex> stream(streamMutex_);
    router_.Reset();
    for (CDemuxOutputPin* pin : outputs_) {
        if (pin->GetConnected()) pin->DeliverEndFlush();
    }
}

void CStandinDemux::EndOfStream()
{
    std::lock_guard<std::mutex> stream(streamMutex_);
    for (CDemuxOutputPin* pin : outputs_) {
        if (pin->GetConnected()) pin->DeliverEndOfStream();
    }
}

void CStandinDemux::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    std::lock_guard<std::mutex> stream(streamMutex_);
    for (CDemuxOutputPin* pin : outputs_) {
        if (pin->GetConnected()) pin->DeliverNewSegment(start, stop, rate);
    }
}

const FilterSetup* CStandinDemux::GetSetupData() { return &StandinDemuxSetup(); }
