#include "standins/decoders/input_pin.h"

#include <uuids.h>

namespace standin {

CInputPin::CInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock, const wchar_t* pinName)
    : CBasePin(objectName, filter, lock, pinName, PINDIR_INPUT)
{
}

HRESULT STDMETHODCALLTYPE CInputPin::QueryInterface(REFIID iid, void** out) { return CBasePin::QueryInterface(iid, out); }
ULONG STDMETHODCALLTYPE CInputPin::AddRef() { return CBasePin::AddRef(); }
ULONG STDMETHODCALLTYPE CInputPin::Release() { return CBasePin::Release(); }

HRESULT STDMETHODCALLTYPE CInputPin::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), out);
    return CBasePin::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CInputPin::BeginFlush()
{
    flushing_ = true;
    return OnBeginFlush();
}

HRESULT STDMETHODCALLTYPE CInputPin::EndFlush()
{
    HRESULT hr = OnEndFlush();
    flushing_ = false;
    return hr;
}

HRESULT STDMETHODCALLTYPE CInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator) return E_POINTER;
    AutoLock lock(*lock_);
    if (!allocator_) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                      allocator_.PutVoid());
        if (FAILED(hr)) return hr;
    }
    *allocator = ComPtr<IMemAllocator>(allocator_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL)
{
    if (!allocator) return E_POINTER;
    AutoLock lock(*lock_);
    allocator_ = ComPtr<IMemAllocator>::Share(allocator);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    if (!active_) return VFW_E_WRONG_STATE;
    if (flushing_) return S_FALSE;
    return OnReceive(sample);
}

HRESULT STDMETHODCALLTYPE CInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed)
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

HRESULT STDMETHODCALLTYPE CInputPin::ReceiveCanBlock() { return S_OK; }

HRESULT CInputPin::Active()
{
    active_ = true;
    return S_OK;
}

HRESULT CInputPin::Inactive()
{
    active_ = false;
    return S_OK;
}

HRESULT CInputPin::BreakConnect()
{
    AutoLock lock(*lock_);
    allocator_.Reset();
    return S_OK;
}

HRESULT CInputPin::GetMediaType(int, AM_MEDIA_TYPE*) { return VFW_S_NO_MORE_ITEMS; }

}  // namespace standin
