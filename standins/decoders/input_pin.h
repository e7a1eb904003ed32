#pragma once
// An input pin that receives samples through IMemInputPin: the half of the filter
// base layer that only sinks (decoders, renderers) need. Derived pins say which types
// they take and what to do with each sample.
#include <dshow.h>

#include <atomic>

#include "graph/com_ptr.h"
#include "graph/filterbase/base_pin.h"

namespace standin {

class CInputPin : public CBasePin, public IMemInputPin {
public:
    CInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock, const wchar_t* pinName);

    // IUnknown, shared by IPin and IMemInputPin.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IPin: flushing makes Receive drop samples until EndFlush.
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    // CBasePin
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT BreakConnect() override;
    // An input pin proposes nothing: the upstream pin's own types are what count.
    HRESULT GetMediaType(int position, AM_MEDIA_TYPE* type) override;

    bool IsFlushing() const { return flushing_.load(); }

protected:
    // Called for each sample while the filter is paused or running and not flushing.
    virtual HRESULT OnReceive(IMediaSample* sample) = 0;
    // Called from BeginFlush / EndFlush after the pin's own bookkeeping.
    virtual HRESULT OnBeginFlush() { return S_OK; }
    virtual HRESULT OnEndFlush() { return S_OK; }

private:
    ComPtr<IMemAllocator> allocator_;
    std::atomic<bool> active_{false};
    std::atomic<bool> flushing_{false};
};

}  // namespace standin
