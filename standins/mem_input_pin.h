#pragma once
// An input pin that takes samples through IMemInputPin. The allocator is whatever the
// upstream pin settles on (ours is a plain memory allocator); derived pins say what to do
// with each sample.
#include "graph/filterbase/base_pin.h"

class CMemInputPin : public CBasePin, public IMemInputPin {
public:
    CMemInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock, const wchar_t* pinName);

    // IUnknown, as CBasePin.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IPin: flushing only drops what arrives meanwhile.
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    // CBasePin
    HRESULT BreakConnect() override;

protected:
    bool Flushing() const { return flushing_; }

private:
    ComPtr<IMemAllocator> allocator_;
    std::atomic<bool> flushing_{false};
};
