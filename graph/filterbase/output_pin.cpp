#include "graph/filterbase/output_pin.h"

#include <uuids.h>

CBaseOutputPin::CBaseOutputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock,
                               const wchar_t* pinName)
    : CBasePin(objectName, filter, lock, pinName, PINDIR_OUTPUT)
{
}

HRESULT STDMETHODCALLTYPE CBaseOutputPin::EndOfStream() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE CBaseOutputPin::BeginFlush() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE CBaseOutputPin::EndFlush() { return E_UNEXPECTED; }

HRESULT CBaseOutputPin::CompleteConnect(IPin*)
{
    ComPtr<IMemAllocator> allocator;
    HRESULT hr = DecideAllocator(memInput_.Get(), allocator.Put());
    if (FAILED(hr)) return hr;
    allocator_ = allocator;
    return S_OK;
}

HRESULT CBaseOutputPin::CheckConnect(IPin* pin)
{
    HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    // Samples travel through the downstream pin's memory input; without it there is
    // nothing to deliver to.
    ComPtr<IMemInputPin> memInput;
    hr = pin->QueryInterface(IID_IMemInputPin, memInput.PutVoid());
    if (FAILED(hr)) return hr;
    memInput_ = memInput;
    return S_OK;
}

HRESULT CBaseOutputPin::BreakConnect()
{
    if (allocator_) {
        allocator_->Decommit();
        allocator_.Reset();
    }
    memInput_.Reset();
    return S_OK;
}

HRESULT CBaseOutputPin::Active()
{
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Commit();
}

HRESULT CBaseOutputPin::Inactive()
{
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Decommit();
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* memInput, IMemAllocator** allocator)
{
    if (!memInput || !allocator) return E_POINTER;
    *allocator = nullptr;

    // The downstream pin may state what it needs; an alignment of 0 means none.
    ALLOCATOR_PROPERTIES request{};
    memInput->GetAllocatorRequirements(&request);
    if (request.cbAlign == 0) request.cbAlign = 1;

    ComPtr<IMemAllocator> candidate;
    HRESULT hr = memInput->GetAllocator(candidate.Put());
    if (SUCCEEDED(hr) && candidate) {
        hr = OfferAllocator(memInput, candidate.Get(), request);
        if (SUCCEEDED(hr)) {
            *allocator = candidate.Detach();
            return S_OK;
        }
    }
    candidate.Reset();

    hr = InitAllocator(candidate.Put());
    if (FAILED(hr)) return hr;
    hr = OfferAllocator(memInput, candidate.Get(), request);
    if (FAILED(hr)) return hr;
    *allocator = candidate.Detach();
    return S_OK;
}

HRESULT CBaseOutputPin::OfferAllocator(IMemInputPin* memInput, IMemAllocator* allocator,
                                       ALLOCATOR_PROPERTIES& request)
{
    HRESULT hr = DecideBufferSize(allocator, &request);
    if (FAILED(hr)) return hr;
    return memInput->NotifyAllocator(allocator, FALSE);
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                          DWORD flags)
{
    if (!sample) return E_POINTER;
    *sample = nullptr;
    if (!allocator_) return E_NOINTERFACE;
    return allocator_->GetBuffer(sample, start, stop, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample)
{
    if (!memInput_) return VFW_E_NOT_CONNECTED;
    return memInput_->Receive(sample);
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** allocator)
{
    return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                            reinterpret_cast<void**>(allocator));
}

HRESULT CBaseOutputPin::DeliverEndOfStream()
{
    IPin* connected = GetConnected();
    if (!connected) return VFW_E_NOT_CONNECTED;
    return connected->EndOfStream();
}

HRESULT CBaseOutputPin::DeliverBeginFlush()
{
    IPin* connected = GetConnected();
    if (!connected) return VFW_E_NOT_CONNECTED;
    return connected->BeginFlush();
}

HRESULT CBaseOutputPin::DeliverEndFlush()
{
    IPin* connected = GetConnected();
    if (!connected) return VFW_E_NOT_CONNECTED;
    return connected->EndFlush();
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    IPin* connected = GetConnected();
    if (!connected) return VFW_E_NOT_CONNECTED;
    return connected->NewSegment(start, stop, rate);
}
