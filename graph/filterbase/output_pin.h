#pragma once
// An output pin that delivers samples to a downstream pin's IMemInputPin through an
// allocator negotiated at connection time.
#include "graph/filterbase/base_pin.h"

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(const wchar_t* objectName, CBaseFilter* filter, CriticalSection* lock, const wchar_t* pinName);

    // IPin: an output pin takes no stream control from downstream.
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;

    // CBasePin
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Hooks for derived pins, in this order.
    // Chooses the allocator: the downstream pin's if it will do, else one of ours.
    virtual HRESULT DecideAllocator(IMemInputPin* memInput, IMemAllocator** allocator);
    // Sets the allocator's properties (or accepts them as they are).
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    virtual HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                                      DWORD flags);
    virtual HRESULT Deliver(IMediaSample* sample);
    // A new memory allocator.
    virtual HRESULT InitAllocator(IMemAllocator** allocator);
    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    // Borrowed; null until connected.
    IMemAllocator* Allocator() const { return allocator_.Get(); }

private:
    HRESULT OfferAllocator(IMemInputPin* memInput, IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request);

    ComPtr<IMemAllocator> allocator_;
    ComPtr<IMemInputPin> memInput_;
};
