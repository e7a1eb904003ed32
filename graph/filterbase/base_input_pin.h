#pragma once
// A push-model input pin: it answers IMemInputPin, keeps the allocator the upstream pin
// settles on and hands each sample, flush, end of stream and new segment to the derived
// pin through the hooks below, on the upstream streaming thread.
//
// Receive never takes the filter's state lock: Stop holds that lock while it deactivates
// the pins, and the streaming thread may be inside Receive then. While the filter is
// stopped Receive refuses samples (VFW_E_WRONG_STATE); between BeginFlush and EndFlush it
// drops them (S_FALSE), so that a blocked delivery upstream can unwind.
#include <atomic>

#include "graph/filterbase/base_pin.h"
#include "graph/filterbase/with_interfaces.h"

class CBaseInputPin : public WithInterfaces<CBasePin, IMemInputPin> {
public:
    CBaseInputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock, const wchar_t* pinName);

    // Answers the added interfaces, then those of the base class.
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** out) override;

    // IPin: stream control from upstream.
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    // What the pin needs of its buffers; E_NOTIMPL (the default) when anything will do.
    // When it says, an allocator that arrives unsized gets these properties.
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
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
    // Hooks, on the upstream thread.
    // Each sample while the filter is paused or running and the pin is not flushing.
    virtual HRESULT OnReceive(IMediaSample* sample) = 0;
    // End of stream outside a flush; its result is what upstream hears.
    virtual HRESULT OnEndOfStream() { return S_OK; }
    // After the pin starts dropping samples, and before it takes them again.
    virtual HRESULT OnBeginFlush() { return S_OK; }
    virtual HRESULT OnEndFlush() { return S_OK; }
    // After the pin has recorded the segment.
    virtual HRESULT OnNewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

private:
    void SizeIfUnsized(IMemAllocator* allocator);

    // Guards the allocator only, so that upstream's negotiation never waits for the state lock.
    CriticalSection allocatorLock_;
    ComPtr<IMemAllocator> allocator_;
    std::atomic<bool> active_{false};
    std::atomic<bool> flushing_{false};
};
