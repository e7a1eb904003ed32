#include "standins/mem_input_pin.h"

CMemInputPin::CMemInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock,
                           const wchar_t* pinName)
    : CBasePin(objectName, filter, lock, pinName, PINDIR_INPUT)
{
}

HRESULT STDMETHODCALLTYPE CMemInputPin::QueryInterface(REFIID iid, void** out)
{
    return CBasePin::QueryInterface(iid, out);
}

ULONG STDMETHODCALLTYPE CMemInputPin::AddRef() { return CBasePin::AddRef(); }

ULONG STDMETHODCALLTYPE CMemInputPin::Release() { return CBasePin::Release(); }

HRESULT STDMETHODCALLTYPE CMemInputPin::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), out);
    return CBasePin::NonDelegatingQueryInterface(iid, out);
}

HRESULT STDMETHODCALLTYPE CMemInputPin::BeginFlush()
{
    flushing_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMemInputPin::EndFlush()
{
    flushing_ = false;
    return S_OK;
}

namespace {

// An upstream pin may accept an allocator without sizing it (a network provider has
// nothing to say about buffers); committing it would then fail. Give it a minimal
// size of our own in that case.
void SizeIfUnsized(IMemAllocator* allocator)
{
    ALLOCATOR_PROPERTIES current{};
    if (SUCCEEDED(allocator->GetProperties(&current)) && current.cbBuffer > 0 && current.cbAlign > 0) return;
    ALLOCATOR_PROPERTIES wanted{};
    wanted.cBuffers = 1;
    wanted.cbBuffer = 188;
    wanted.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    allocator->SetProperties(&wanted, &actual);
}

}  // namespace

HRESULT STDMETHODCALLTYPE CMemInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator) return E_POINTER;
    AutoLock lock(*lock_);
    if (!allocator_) {
        HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                      allocator_.PutVoid());
        if (FAILED(hr)) {
            *allocator = nullptr;
            return hr;
        }
        SizeIfUnsized(allocator_.Get());
    }
    *allocator = ComPtr<IMemAllocator>(allocator_).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMemInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL)
{
    if (!allocator) return E_POINTER;
    AutoLock lock(*lock_);
    SizeIfUnsized(allocator);
    allocator_ = ComPtr<IMemAllocator>::Share(allocator);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMemInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CMemInputPin::ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed)
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

HRESULT STDMETHODCALLTYPE CMemInputPin::ReceiveCanBlock() { return S_OK; }

HRESULT CMemInputPin::BreakConnect()
{
    allocator_.Reset();
    return S_OK;
}
