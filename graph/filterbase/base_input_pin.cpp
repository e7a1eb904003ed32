#include "graph/filterbase/base_input_pin.h"

#include <uuids.h>

CBaseInputPin::CBaseInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock,
                             const wchar_t* pinName)
    : WithInterfaces(objectName, filter, lock, pinName, PINDIR_INPUT)
{
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), out);
    return CBasePin::NonDelegatingQueryInterface(iid, out);
}

// An end of stream that overtakes a flush belongs to the data being thrown away.
HRESULT STDMETHODCALLTYPE CBaseInputPin::EndOfStream()
{
    if (flushing_) return S_FALSE;
    return OnEndOfStream();
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::BeginFlush()
{
    flushing_ = true;
    return OnBeginFlush();
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::EndFlush()
{
    HRESULT hr = OnEndFlush();
    flushing_ = false;
    return hr;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    CBasePin::NewSegment(start, stop, rate);
    return OnNewSegment(start, stop, rate);
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator) return E_POINTER;
    *allocator = nullptr;
    AutoLock lock(allocatorLock_);
    if (!allocator_) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                      allocator_.PutVoid());
        if (FAILED(hr)) return hr;
        SizeIfUnsized(allocator_.Get());
    }
    *allocator = ComPtr<IMemAllocator>(allocator_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL)
{
    if (!allocator) return E_POINTER;
    AutoLock lock(allocatorLock_);
    SizeIfUnsized(allocator);
    allocator_ = ComPtr<IMemAllocator>::Share(allocator);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

// An upstream pin may settle on an allocator without sizing it (a network provider has
// nothing to say about buffers), and a memory allocator nobody sized refuses to commit.
// A pin that states its requirements gets them applied in that case.
void CBaseInputPin::SizeIfUnsized(IMemAllocator* allocator)
{
    ALLOCATOR_PROPERTIES current{};
    if (SUCCEEDED(allocator->GetProperties(&current)) && current.cbBuffer > 0 && current.cbAlign > 0) return;
    ALLOCATOR_PROPERTIES wanted{};
    if (GetAllocatorRequirements(&wanted) != S_OK) return;
    ALLOCATOR_PROPERTIES actual{};
    allocator->SetProperties(&wanted, &actual);
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    if (!active_) return VFW_E_WRONG_STATE;
    if (flushing_) return S_FALSE;
    return OnReceive(sample);
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed)
{
    if (!samples || !processed) return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::ReceiveCanBlock() { return S_OK; }

// A flush left open by a stop ends with it: the next run starts taking samples.
HRESULT CBaseInputPin::Active()
{
    flushing_ = false;
    active_ = true;
    return S_OK;
}

HRESULT CBaseInputPin::Inactive()
{
    active_ = false;
    flushing_ = false;
    AutoLock lock(allocatorLock_);
    // Frees an upstream thread that waits for one of the allocator's buffers.
    if (allocator_) allocator_->Decommit();
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect()
{
    AutoLock lock(allocatorLock_);
    allocator_.Reset();
    return S_OK;
}

HRESULT CBaseInputPin::GetMediaType(int, AM_MEDIA_TYPE*) { return VFW_S_NO_MORE_ITEMS; }
