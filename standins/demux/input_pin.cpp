#include "standins/demux/input_pin.h"

#include <uuids.h>

CStandinInputPin::CStandinInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock,
                                   const wchar_t* pinName)
    : CBasePin(objectName, filter, lock, pinName, PINDIR_INPUT)
{
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::QueryInterface(REFIID iid, void** out)
{
    return CBasePin::QueryInterface(iid, out);
}

ULONG STDMETHODCALLTYPE CStandinInputPin::AddRef() { return CBasePin::AddRef(); }

ULONG STDMETHODCALLTYPE CStandinInputPin::Release() { return CBasePin::Release(); }

HRESULT STDMETHODCALLTYPE CStandinInputPin::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), out);
    return CBasePin::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::EndOfStream()
{
    if (flushing_) return S_FALSE;
    OnEndOfStream();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::BeginFlush()
{
    // Receive refuses samples from now on, so a blocked delivery can unwind.
    flushing_ = true;
    OnBeginFlush();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::EndFlush()
{
    OnEndFlush();
    flushing_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    CBasePin::NewSegment(start, stop, rate);
    OnNewSegment(start, stop, rate);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator) return E_POINTER;
    AutoLock lock(allocatorLock_);
    if (!allocator_) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                      allocator_.PutVoid());
        if (FAILED(hr)) return hr;
    }
    *allocator = ComPtr<IMemAllocator>(allocator_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL)
{
    if (!allocator) return E_POINTER;
    AutoLock lock(allocatorLock_);
    allocator_ = ComPtr<IMemAllocator>::Share(allocator);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    if (!active_) return VFW_E_WRONG_STATE;
    if (flushing_) return S_FALSE;
    return OnReceive(sample);
}

HRESULT STDMETHODCALLTYPE CStandinInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed)
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

HRESULT STDMETHODCALLTYPE CStandinInputPin::ReceiveCanBlock() { return S_OK; }

HRESULT CStandinInputPin::Active()
{
    flushing_ = false;
    active_ = true;
    return S_OK;
}

HRESULT CStandinInputPin::Inactive()
{
    active_ = false;
    flushing_ = false;
    AutoLock lock(allocatorLock_);
    // Frees an upstream thread that waits for one of our buffers.
    if (allocator_) allocator_->Decommit();
    return S_OK;
}

HRESULT CStandinInputPin::BreakConnect()
{
    AutoLock lock(allocatorLock_);
    allocator_.Reset();
    return S_OK;
}
