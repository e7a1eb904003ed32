#pragma once
// A push-model input pin for the stand-in filters: it answers IMemInputPin, keeps
// the allocator the upstream pin settles on, and hands each sample, flush and
// end of stream to its filter through the hooks below, on the upstream
// streaming thread.
//
// Receive never takes the filter's state lock: Stop holds that lock while it
// deactivates the pins, and the streaming thread may be inside Receive then.
#include <atomic>

#include "graph/filterbase/base_pin.h"

class CStandinInputPin : public CBasePin, public IMemInputPin {
public:
    CStandinInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock,
                     const wchar_t* pinName);

    // IUnknown (one set for every interface of the pin).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IPin: stream control from upstream.
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override;

    // CBasePin
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT BreakConnect() override;

protected:
    // Hooks, called on the upstream thread.
    virtual HRESULT OnReceive(IMediaSample* sample) = 0;
    virtual void OnBeginFlush() {}
    virtual void OnEndFlush() {}
    virtual void OnEndOfStream() {}
    virtual void OnNewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {}

private:
    CriticalSection allocatorLock_;
    ComPtr<IMemAllocator> allocator_;
    std::atomic<bool> active_{false};
    std::atomic<bool> flushing_{false};
};
